#include "cache/ResourceDao.h"

#include "cache/ListStampDao.h"

namespace {

const char *const insertStatement = "insert into ed_resource values(?1,?2,?3,?4,?5)";
const char *const deleteCategoryStatement = "delete from ed_resource where type_code=?1";

int insertRow(sqlite3 *db, const ResourceItem &item)
{
    return hsSqlExecuteBound(db, insertStatement,
                             {item.resId, item.typeCode, item.resTitle, item.updateDate, item.resThumb});
}

// Each entry is stamped with the category it was fetched for before it is stored.
int insertRows(sqlite3 *db, const std::vector<ResourceItem> &items, const std::string &typeCode)
{
    int failures = 0;
    for (ResourceItem item : items) {
        item.typeCode = typeCode;
        if (insertRow(db, item) < 0)
            ++failures;
    }
    return failures == 0 ? static_cast<int>(items.size()) : -1;
}

} // namespace

int ResourceDao::createTable() const
{
    return execCommand(createStatement);
}

int ResourceDao::insert(const ResourceItem &item) const
{
    HsDbLease lease;
    return insertRow(lease.connection(), item);
}

int ResourceDao::insert(const std::vector<ResourceItem> &items, const std::string &typeCode) const
{
    HsDbLease lease;
    return insertRows(lease.connection(), items, typeCode);
}

int ResourceDao::deletes() const
{
    return execCommand("delete from ed_resource");
}

int ResourceDao::deletes(const std::string &typeCode) const
{
    return execCommand(deleteCategoryStatement, {typeCode});
}

std::vector<ResourceItem> ResourceDao::initSelects(const std::string &typeCode) const
{
    return initSelectObjs("select * from ed_resource where type_code=?1 order by resource_id desc",
                          {typeCode}, hsSelectTypeRow);
}

int ResourceDao::replaceCategory(const std::string &typeCode, const std::vector<ResourceItem> &items) const
{
    return replaceAccountRows(deleteCategoryStatement, {typeCode}, [&](sqlite3 *db) {
        return ListStampDao::stampStored(db, ListStampDao::resourceList, typeCode,
                                         insertRows(db, items, typeCode));
    });
}

void ResourceDao::doLoad(ResourceItem &item, sqlite3_stmt *stmt, int selectType) const
{
    if (selectType != hsSelectTypeRow)
        return;
    item.resId = hsColumnInt(stmt, 0);
    item.typeCode = hsColumnText(stmt, 1);
    item.resTitle = hsColumnText(stmt, 2);
    item.updateDate = hsColumnText(stmt, 3);
    item.resThumb = hsColumnText(stmt, 4);
}
