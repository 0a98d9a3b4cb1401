#include "cache/ListStampDao.h"

namespace {

int64_t secondsOf(ListStampDao::Clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

} // namespace

std::optional<ListStampDao::Clock::time_point> ListStampDao::storedAt(const std::string &list,
                                                                      const std::string &typeCode) const
{
    HsDbLease lease;
    std::optional<Clock::time_point> storedAt;
    hsSqlQuery(lease.connection(), "select stored_at from list_stamp where list=?1 and type_code=?2",
               {list, typeCode}, [&](sqlite3_stmt *stmt) {
                   storedAt = Clock::time_point(std::chrono::seconds(hsColumnInt64(stmt, 0)));
               });
    return storedAt;
}

int ListStampDao::stamp(const std::string &list, const std::string &typeCode, Clock::time_point time) const
{
    HsDbLease lease;
    return stamp(lease.connection(), list, typeCode, time);
}

int ListStampDao::stamp(sqlite3 *db, const std::string &list, const std::string &typeCode,
                        Clock::time_point time)
{
    return hsSqlExecuteBound(db,
                             "insert into list_stamp values (?1, ?2, ?3) on conflict (list, type_code) do "
                             "update set stored_at=excluded.stored_at",
                             {list, typeCode, secondsOf(time)});
}

int ListStampDao::stampStored(sqlite3 *db, const std::string &list, const std::string &typeCode, int stored)
{
    if (stored < 0 || stamp(db, list, typeCode, Clock::now()) < 0)
        return -1;
    return stored;
}
