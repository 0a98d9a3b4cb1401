#pragma once

#include "cache/DAO.h"

#include <cstdint>
#include <set>
#include <string>

// What each signed-in account has done with notices and news on this device (table news_mark):
// which items it has opened in detail (read) and which notices it has replied to. Kept apart
// from the cached lists, so refreshing a category never forgets them.
class NewsMarkDao : public DAO<int32_t>
{
public:
    static constexpr const char *createStatement =
        "create table if not exists news_mark (account text not null, news_id integer not null, "
        "read integer not null default 0, answered integer not null default 0, primary key (account, "
        "news_id))";

    // The ids the account has opened, and those it has replied to.
    std::set<int32_t> readIds(const std::string &account) const;
    std::set<int32_t> answeredIds(const std::string &account) const;

    // Rows changed, or -1 on error.
    int markRead(const std::string &account, int32_t newsId) const;
    int markAnswered(const std::string &account, int32_t newsId) const;

private:
    std::set<int32_t> ids(const std::string &sql, const std::string &account) const;
};
