#pragma once

#include "cache/DAO.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// When each cached list was last stored from a successful fetch (table list_stamp), so that a
// list shown from the cache for want of a fresh one can say how old it is. A list is named by the
// table that holds it and its category's type code.
class ListStampDao : public DAO<int64_t>
{
public:
    using Clock = std::chrono::system_clock;

    static constexpr const char *createStatement =
        "create table if not exists list_stamp (list text not null, type_code text not null, "
        "stored_at integer not null, primary key (list, type_code))";
    static constexpr const char *newsList = "ed_news";
    static constexpr const char *resourceList = "ed_resource";

    // The time the list was last stored, to the second; none for a list never stored.
    std::optional<Clock::time_point> storedAt(const std::string &list, const std::string &typeCode) const;

    // Records that the list was stored at `time`. Rows changed, or -1 on error.
    int stamp(const std::string &list, const std::string &typeCode, Clock::time_point time) const;
    // The same on a connection the caller holds, inside the transaction that stores the list.
    static int stamp(sqlite3 *db, const std::string &list, const std::string &typeCode,
                     Clock::time_point time);
    // Inside the transaction that has just written `stored` rows of the list (-1 when that failed):
    // stamps the list as stored now. Returns `stored`, or -1 when either failed.
    static int stampStored(sqlite3 *db, const std::string &list, const std::string &typeCode, int stored);
};
