#include "cache/NewsTypeDao.h"

#include "common/HsLog.h"

namespace {

const char *const insertStatement = "insert into news_type values(?1,?2,?3,?4)";
const char *const deleteStatement = "delete from news_type";

int insertRow(sqlite3 *db, const NewsTypeItem &item)
{
    return hsSqlExecuteBound(db, insertStatement, {item.typeId, item.typeCode, item.typeName, item.typeType});
}

} // namespace

int NewsTypeDao::createTable() const
{
    return execCommand(createStatement);
}

int NewsTypeDao::insert(const NewsTypeItem &item) const
{
    HsDbLease lease;
    return insertRow(lease.connection(), item);
}

int NewsTypeDao::deletes() const
{
    return execCommand(deleteStatement);
}

std::vector<NewsTypeItem> NewsTypeDao::initSelectSchools() const
{
    return initSelectObjs("select * from news_type where type_type=0 order by type_id", {}, hsSelectTypeRow);
}

std::vector<NewsTypeItem> NewsTypeDao::initSelectNews() const
{
    return initSelectObjs("select * from news_type where type_type!=0 order by type_id", {}, hsSelectTypeRow);
}

int NewsTypeDao::replaceAll(const std::vector<NewsTypeItem> &items) const
{
    return replaceRows(deleteStatement, {}, [&](sqlite3 *db) {
        for (const NewsTypeItem &item : items) {
            hsLog("%s", hsText(item.typeName));
            if (insertRow(db, item) < 0)
                return -1;
        }
        return static_cast<int>(items.size());
    });
}

void NewsTypeDao::doLoad(NewsTypeItem &item, sqlite3_stmt *stmt, int selectType) const
{
    if (selectType != hsSelectTypeRow)
        return;
    item.typeId = hsColumnInt(stmt, 0);
    item.typeCode = hsColumnText(stmt, 1);
    item.typeName = hsColumnText(stmt, 2);
    item.typeType = hsColumnInt(stmt, 3);
}
