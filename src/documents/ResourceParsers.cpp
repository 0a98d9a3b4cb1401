#include "documents/GetResourceParser.h"
#include "documents/GetResourcesParser.h"
#include "documents/ResourceTypeParser.h"
#include "common/HsLog.h"

namespace {

constexpr FieldRule<ResourceTypeItem> resourceTypeFields[] = {
    field<&ResourceTypeItem::typeId>("TypeId"),
    field<&ResourceTypeItem::typeCode>("TypeCode"),
    field<&ResourceTypeItem::typeName>("TypeName"),
};

// A list row carries only what the row shows; the rest comes with the whole resource.
constexpr FieldRule<ResourceItem> resourceRowFields[] = {
    field<&ResourceItem::resId>("ResourceId"),
    field<&ResourceItem::resTitle>("ResourceTitle"),
    field<&ResourceItem::resThumb>("ThumbImage"),
    field<&ResourceItem::updateDate>("UpdateDate"),
};

constexpr FieldRule<ResourceItem> wholeResourceFields[] = {
    field<&ResourceItem::resId>("ResourceId"),
    field<&ResourceItem::resTitle>("ResourceTitle"),
    field<&ResourceItem::resImage>("Image"),
    field<&ResourceItem::resContent>("ResourceContent"),
    field<&ResourceItem::address>("ResourceAddress"),
    field<&ResourceItem::phone>("ResourcePhone"),
    field<&ResourceItem::longitude>("Longitude"),
    field<&ResourceItem::latitude>("Latitude"),
    field<&ResourceItem::web>("Web"),
    field<&ResourceItem::updateDate>("UpdateDate"),
};

} // namespace

ResourceTypeParser::ResourceTypeParser() : ListDocumentParser("ResourceType", resourceTypeFields) {}

ResourceTypeParser::~ResourceTypeParser()
{
    hsLog("parser dealloc");
}

GetResourcesParser::GetResourcesParser() : ListDocumentParser("Resource", resourceRowFields) {}

GetResourcesParser::~GetResourcesParser()
{
    hsLog(" get teachers parser dealloc");
}

GetResourceParser::GetResourceParser() : SingleRecordParser(wholeResourceFields) {}

GetResourceParser::~GetResourceParser()
{
    hsLog(" get newses parser dealloc");
}
