#include "cache/NewsDao.h"

#include "cache/ListStampDao.h"

namespace {

const char *const insertStatement = "insert into ed_news values(?1,?2,?3,?4,?5,?6,?7)";
const char *const deleteCategoryStatement = "delete from ed_news where type_code=?1";

// The picture address is never cached; the column always holds the empty text.
int insertRow(sqlite3 *db, const NewsItem &item, const std::string &typeCode)
{
    return hsSqlExecuteBound(db, insertStatement,
                             {item.newsId, typeCode, item.newsTitle, item.classId, item.forceReturn,
                              item.publicDate, std::string()},
                             HsStatementLog::Logged);
}

int insertRows(sqlite3 *db, const std::vector<NewsItem> &items, const std::string &typeCode)
{
    int failures = 0;
    for (const NewsItem &item : items) {
        if (insertRow(db, item, typeCode) < 0)
            ++failures;
    }
    return failures == 0 ? static_cast<int>(items.size()) : -1;
}

} // namespace

int NewsDao::createTable() const
{
    return execCommand(createStatement);
}

int NewsDao::insert(const NewsItem &item, const std::string &typeCode) const
{
    HsDbLease lease;
    return insertRow(lease.connection(), item, typeCode);
}

int NewsDao::inserts(const std::vector<NewsItem> &items, const std::string &typeCode) const
{
    HsDbLease lease;
    return insertRows(lease.connection(), items, typeCode);
}

int NewsDao::deletes() const
{
    return execCommand("delete from ed_news");
}

int NewsDao::deletes(const std::string &typeCode) const
{
    return execCommand(deleteCategoryStatement, {typeCode});
}

std::vector<NewsItem> NewsDao::initSelects(const std::string &typeCode) const
{
    return initSelectObjs("select * from ed_news where type_code=?1 order by news_id desc", {typeCode},
                          hsSelectTypeRow);
}

int NewsDao::replaceCategory(const std::string &typeCode, const std::vector<NewsItem> &items) const
{
    return replaceAccountRows(deleteCategoryStatement, {typeCode}, [&](sqlite3 *db) {
        return ListStampDao::stampStored(db, ListStampDao::newsList, typeCode,
                                         insertRows(db, items, typeCode));
    });
}

void NewsDao::doLoad(NewsItem &item, sqlite3_stmt *stmt, int selectType) const
{
    if (selectType != hsSelectTypeRow)
        return;
    item.newsId = hsColumnInt(stmt, 0);
    item.typeCode = hsColumnText(stmt, 1);
    item.newsTitle = hsColumnText(stmt, 2);
    item.classId = hsColumnInt(stmt, 3);
    item.forceReturn = hsColumnInt(stmt, 4);
    item.publicDate = hsColumnText(stmt, 5);
    item.imageUrl = hsColumnText(stmt, 6);
}
