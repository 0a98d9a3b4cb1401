#include "cache/NewsMarkDao.h"

std::set<int32_t> NewsMarkDao::ids(const std::string &sql, const std::string &account) const
{
    HsDbLease lease;
    std::set<int32_t> found;
    hsSqlQuery(lease.connection(), sql, {account},
               [&](sqlite3_stmt *stmt) { found.insert(hsColumnInt(stmt, 0)); });
    return found;
}

std::set<int32_t> NewsMarkDao::readIds(const std::string &account) const
{
    return ids("select news_id from news_mark where account=?1 and read=1", account);
}

std::set<int32_t> NewsMarkDao::answeredIds(const std::string &account) const
{
    return ids("select news_id from news_mark where account=?1 and answered=1", account);
}

int NewsMarkDao::markRead(const std::string &account, int32_t newsId) const
{
    return execCommand("insert into news_mark (account, news_id, read) values (?1, ?2, 1) "
                       "on conflict (account, news_id) do update set read=1",
                       {account, newsId});
}

int NewsMarkDao::markAnswered(const std::string &account, int32_t newsId) const
{
    return execCommand("insert into news_mark (account, news_id, answered) values (?1, ?2, 1) "
                       "on conflict (account, news_id) do update set answered=1",
                       {account, newsId});
}
