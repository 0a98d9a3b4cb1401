#include "cache/ResourceTypeDao.h"

#include "common/HsLog.h"

namespace {

const char *const insertStatement = "insert into resource_type values(?1,?2,?3)";
const char *const deleteStatement = "delete from resource_type";

int insertRow(sqlite3 *db, const ResourceTypeItem &item)
{
    return hsSqlExecuteBound(db, insertStatement, {item.typeId, item.typeCode, item.typeName});
}

} // namespace

int ResourceTypeDao::createTable() const
{
    return execCommand(createStatement);
}

int ResourceTypeDao::insert(const ResourceTypeItem &item) const
{
    HsDbLease lease;
    return insertRow(lease.connection(), item);
}

int ResourceTypeDao::deletes() const
{
    return execCommand(deleteStatement);
}

std::vector<ResourceTypeItem> ResourceTypeDao::initSelects() const
{
    return initSelectObjs("select * from resource_type order by type_id", {}, hsSelectTypeRow);
}

int ResourceTypeDao::replaceAll(const std::vector<ResourceTypeItem> &items) const
{
    return replaceRows(deleteStatement, {}, [&](sqlite3 *db) {
        for (const ResourceTypeItem &item : items) {
            hsLog("%s", hsText(item.typeName));
            if (insertRow(db, item) < 0)
                return -1;
        }
        return static_cast<int>(items.size());
    });
}

void ResourceTypeDao::doLoad(ResourceTypeItem &item, sqlite3_stmt *stmt, int selectType) const
{
    if (selectType != hsSelectTypeRow)
        return;
    item.typeId = hsColumnInt(stmt, 0);
    item.typeCode = hsColumnText(stmt, 1);
    item.typeName = hsColumnText(stmt, 2);
}
