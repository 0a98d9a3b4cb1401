#pragma once

#include "cache/DAO.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A post of the student record (a chat message, homework or a state report) as the user wrote
// it, kept until the service has it.
struct OutboxPost
{
    int64_t id = 0;
    // The student record category it belongs to: 1 homework, 3 state reports, 4 chat.
    int32_t category = 0;
    // The author as the post is sent: the account's user id and name, and the real name that
    // the school's lists may show instead.
    int32_t userId = 0;
    std::optional<std::string> userName;
    std::optional<std::string> realName;
    std::optional<std::string> schoolCode;
    int32_t classId = 0;
    std::string text;
    // When the user posted it, in seconds since the epoch.
    int64_t writtenAt = 0;
    // A send of this process is under way; otherwise the post waits to be sent again.
    bool sending = false;
    // The service refused it when it was sent again: it waits for the user to send it once more,
    // not for the next round.
    bool refused = false;

    bool operator==(const OutboxPost &) const = default;
};

// The posts of the signed-in account that the service has not confirmed yet (table outbox).
// A post is written here, and committed, before it is sent, so that neither a failed send nor
// the end of the process loses it; it leaves once the service has it, or once the text of a post
// the service refused is back in the user's hands.
//
// Sending is claimed row by row: a row is sent by one task of this process at a time. A claim
// left by a process that ended (killed while sending) does not hold the row back.
class OutboxDao : public DAO<OutboxPost>
{
public:
    // Rows carry the account they were written for, so that a file that passes to another
    // account keeps them for their own, unseen by the other.
    static constexpr const char *createStatement =
        "create table if not exists outbox (id integer primary key autoincrement, account text not null, "
        "category integer not null, user_id integer not null, user_name text, real_name text, "
        "school_code text, class_id integer not null, text text not null, written_at integer not null, "
        "state integer not null, sender text)";

    // Writes the post, claimed for sending by this process. Its id, or -1 on error.
    int64_t add(const OutboxPost &post) const;

    // The account's posts, oldest first; those of one category when given.
    std::vector<OutboxPost> posts(std::optional<int32_t> category = std::nullopt) const;

    // Claims the post for a send of this process: false when a send of this process already
    // has it, or when it is gone.
    bool claim(int64_t id) const;
    // Claims, in one statement, every post that waits for a round of sending (of one category
    // when given): neither refused nor in a send of this process. The posts claimed.
    std::vector<OutboxPost> claimWaiting(std::optional<int32_t> category = std::nullopt) const;
    // Gives a claimed post back to wait for the next send.
    bool release(int64_t id) const;
    // Gives a claimed post back, refused by the service, to wait for the user's word.
    bool refuse(int64_t id) const;
    // The post has reached the service, or its text has gone back to the user: it leaves the outbox.
    bool remove(int64_t id) const;

protected:
    void doLoad(OutboxPost &post, sqlite3_stmt *stmt, int selectType) const override;

private:
    static const std::string &processToken();
    bool giveBack(int64_t id, int32_t state) const;
};
