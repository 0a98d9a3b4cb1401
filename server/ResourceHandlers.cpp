// The catalogue of local resources.
#include "Handlers.h"

namespace {

const FieldNames kListFields{"ResourceId", "ResourceTitle", "ThumbImage", "UpdateDate"};
constexpr std::string_view kListColumns = "SELECT id, title, ? || thumb, update_date FROM resources ";
constexpr std::string_view kNewestFirst = " ORDER BY update_date DESC, id DESC LIMIT ? OFFSET ?";

std::string listQuery(std::string_view where)
{
    return std::string(kListColumns) + std::string(where) + std::string(kNewestFirst);
}

} // namespace

std::string getResources(Call &call)
{
    const Page page = pageOf(call.args);
    return listDocument(call.db, "Resource", kListFields, listQuery("WHERE type_code = ?"), call.baseUrl,
                        call.args.text("typeCode"), page.limit, page.offset);
}

std::string searchResource(Call &call)
{
    const Page page = pageOf(call.args);
    // instr() matches the keyword literally (a "%" or "_" is a plain character); ?2 is the
    // keyword, used twice, after the address prefix ?1.
    return listDocument(call.db, "Resource", kListFields,
                        listQuery("WHERE instr(title, ?2) > 0 OR instr(content, ?2) > 0"), call.baseUrl,
                        call.args.text("keyword"), page.limit, page.offset);
}

std::string getPhotoResources(Call &call)
{
    const Page page = pageOf(call.args);
    return listDocument(call.db, "Resource", kListFields, listQuery("WHERE featured = 1"), call.baseUrl,
                        page.limit, page.offset);
}

std::string getResource(Call &call)
{
    return recordDocument(
        call.db,
        {"ResourceId", "ResourceTitle", "Image", "ResourceContent", "ResourceAddress", "ResourcePhone",
         "Longitude", "Latitude", "Web", "UpdateDate"},
        "该资源不存在",
        "SELECT id, title, ? || picture, content, address, phone, longitude, latitude, web, "
        "update_date FROM resources WHERE id = ?",
        call.baseUrl, call.args.integer("resourceId"));
}

std::string getResourceTypes(Call &call)
{
    return listDocument(call.db, "ResourceType", {"TypeId", "TypeCode", "TypeName"},
                        "SELECT id, code, name FROM resource_types ORDER BY id");
}
