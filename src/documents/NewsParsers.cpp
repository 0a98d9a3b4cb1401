#include "documents/GetNewsByIdParser.h"
#include "documents/GetNewsesParser.h"
#include "documents/GetReturnsParser.h"
#include "documents/NewsTypeParser.h"
#include "common/HsLog.h"

namespace {

constexpr FieldRule<NewsTypeItem> newsTypeFields[] = {
    field<&NewsTypeItem::typeId>("TypeId"),
    field<&NewsTypeItem::typeCode>("TypeCode"),
    field<&NewsTypeItem::typeName>("TypeName"),
    field<&NewsTypeItem::typeType>("TypeType"),
};

constexpr FieldRule<NewsItem> headlineFields[] = {
    field<&NewsItem::newsId>("NewsId"),
    field<&NewsItem::newsTitle>("NewsTitle"),
    field<&NewsItem::forceReturn>("ForceReturn"),
    field<&NewsItem::publicDate>("PublicDate"),
};

constexpr FieldRule<NewsItem> wholeNewsFields[] = {
    field<&NewsItem::newsId>("NewsId"),
    field<&NewsItem::newsTitle>("NewsTitle"),
    field<&NewsItem::newsContent>("NewsContent"),
    field<&NewsItem::publicDate>("PublicDate"),
};

constexpr FieldRule<ReturnItem> returnFields[] = {
    field<&ReturnItem::rtId>("returnId"),         field<&ReturnItem::rtContent>("returnContent"),
    field<&ReturnItem::userName>("userName"),     field<&ReturnItem::userId>("userId"),
    field<&ReturnItem::userAvatar>("userAvatar"), field<&ReturnItem::rtDate>("returnDate"),
};

} // namespace

NewsTypeParser::NewsTypeParser() : ListDocumentParser("NewsType", newsTypeFields) {}

NewsTypeParser::~NewsTypeParser()
{
    hsLog("parser dealloc");
}

GetNewsesParser::GetNewsesParser() : ListDocumentParser("News", headlineFields) {}

GetNewsesParser::~GetNewsesParser()
{
    hsLog(" get newses parser dealloc");
}

GetNewsByIdParser::GetNewsByIdParser() : SingleRecordParser(wholeNewsFields) {}

GetNewsByIdParser::~GetNewsByIdParser()
{
    hsLog(" get newses parser dealloc");
}

GetReturnsParser::GetReturnsParser() : ListDocumentParser("return", returnFields) {}

GetReturnsParser::~GetReturnsParser()
{
    hsLog("result parser dealloc");
}
