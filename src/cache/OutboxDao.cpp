#include "cache/OutboxDao.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <unistd.h>

namespace {

// What the state column holds.
enum PostState : int32_t
{
    waiting = 0,
    sending = 1,
    refused = 2,
};

// The account the thread's database was opened for; "" for none.
std::string accountOfThisThread()
{
    const std::shared_ptr<HsPreferences> preferences = HsPreferences::forThisThread();
    return preferences && preferences->account() ? *preferences->account() : std::string();
}

// The columns a post is read from; ?2 is this process's token.
constexpr const char *postFields =
    "id, category, user_id, user_name, real_name, school_code, class_id, text, "
    "written_at, state=1 and sender=?2, state=2";

} // namespace

// Tells the sends of this process from those of an earlier one: its id and start, and chance.
const std::string &OutboxDao::processToken()
{
    static const std::string token = [] {
        std::random_device random;
        const auto started = std::chrono::system_clock::now().time_since_epoch().count();
        char text[64];
        std::snprintf(text, sizeof text, "%d-%lld-%u", static_cast<int>(::getpid()),
                      static_cast<long long>(started), random());
        return std::string(text);
    }();
    return token;
}

int64_t OutboxDao::add(const OutboxPost &post) const
{
    HsDbLease lease;
    sqlite3 *db = lease.connection();
    const int inserted = hsSqlExecuteBound(
        db,
        "insert into outbox (account, category, user_id, user_name, real_name, school_code, class_id, text, "
        "written_at, state, sender) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
        {accountOfThisThread(), post.category, post.userId, post.userName, post.realName, post.schoolCode,
         post.classId, post.text, post.writtenAt, int32_t{sending}, processToken()});
    if (inserted != 1)
        return -1;
    int64_t id = -1;
    hsSqlQuery(db, "select last_insert_rowid()", {},
               [&](sqlite3_stmt *stmt) { id = hsColumnInt64(stmt, 0); });
    return id;
}

std::vector<OutboxPost> OutboxDao::posts(std::optional<int32_t> category) const
{
    const std::string select = std::string("select ") + postFields + " from outbox where account=?1";
    const std::string order = " order by written_at, id";
    if (!category)
        return initSelectObjs(select + order, {accountOfThisThread(), processToken()}, hsSelectTypeRow);
    return initSelectObjs(select + " and category=?3" + order,
                          {accountOfThisThread(), processToken(), std::to_string(*category)},
                          hsSelectTypeRow);
}

std::vector<OutboxPost> OutboxDao::claimWaiting(std::optional<int32_t> category) const
{
    const std::string claim = "update outbox set state=1, sender=?2 where account=?1 and "
                              "(state=0 or (state=1 and sender is not ?2))";
    const std::string returning = std::string(" returning ") + postFields;
    if (!category)
        return initSelectObjs(claim + returning, {accountOfThisThread(), processToken()}, hsSelectTypeRow);
    return initSelectObjs(claim + " and category=?3" + returning,
                          {accountOfThisThread(), processToken(), std::to_string(*category)},
                          hsSelectTypeRow);
}

bool OutboxDao::claim(int64_t id) const
{
    return execCommand("update outbox set state=?2, sender=?3 where id=?1 and account=?4 and "
                       "not (state=?2 and sender is ?3)",
                       {id, int32_t{sending}, processToken(), accountOfThisThread()}) == 1;
}

bool OutboxDao::release(int64_t id) const
{
    return giveBack(id, waiting);
}

bool OutboxDao::refuse(int64_t id) const
{
    return giveBack(id, refused);
}

bool OutboxDao::giveBack(int64_t id, int32_t state) const
{
    return execCommand("update outbox set state=?2, sender=null where id=?1 and account=?3",
                       {id, state, accountOfThisThread()}) == 1;
}

bool OutboxDao::remove(int64_t id) const
{
    return execCommand("delete from outbox where id=?1 and account=?2", {id, accountOfThisThread()}) == 1;
}

void OutboxDao::doLoad(OutboxPost &post, sqlite3_stmt *stmt, int selectType) const
{
    if (selectType != hsSelectTypeRow)
        return;
    post.id = hsColumnInt64(stmt, 0);
    post.category = hsColumnInt(stmt, 1);
    post.userId = hsColumnInt(stmt, 2);
    post.userName = hsColumnText(stmt, 3);
    post.realName = hsColumnText(stmt, 4);
    post.schoolCode = hsColumnText(stmt, 5);
    post.classId = hsColumnInt(stmt, 6);
    post.text = hsColumnText(stmt, 7).value_or(std::string());
    post.writtenAt = hsColumnInt64(stmt, 8);
    post.sending = hsColumnInt(stmt, 9) != 0;
    post.refused = hsColumnInt(stmt, 10) != 0;
}
