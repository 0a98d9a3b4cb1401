#pragma once

#include "cache/OutboxDao.h"
#include "documents/LoginResultItem.h"
#include "screens/HsStudentRecordModel.h"

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What one send of a post came to.
enum class HsPostOutcome
{
    Posted,
    // The service answered with a failure code: sending it again would only be refused again.
    Refused,
    // No usable answer: the post may or may not have reached the service.
    Unanswered,
};

// What a round of sending posts again came to.
struct HsOutboxRound
{
    // The categories whose posts the service now has (sent, or found already there).
    std::set<int> reached;
    // Posts the service refused; they wait in the outbox, marked refused.
    std::vector<OutboxPost> refused;
    // Some post, or a first page to look for them in, got no usable answer.
    bool unanswered = false;
    // The outcome of the one post a round sent again at the user's word.
    std::optional<HsPostOutcome> outcome() const;
};

// Sending the posts of the student record through the outbox. The post is written to the
// outbox before it is sent and leaves it once the service has it or refuses it, so nothing typed
// is lost when no answer comes or the process ends.
//
// A post whose answer was lost may have reached the service: before one is sent again, the first
// page of its category is read, and a post already there (same author and text, a time not before
// it was written) is taken as sent. The functions that call the service run on a worker thread.
class HsStudentOutbox
{
public:
    using Clock = std::chrono::system_clock;
    // The first page of a category, or none when it got no usable answer or was refused.
    using PageFetch = std::function<std::optional<HsStudentRecords>(int category)>;

    // The post the user wrote in `category` at `writtenAt`, as the signed-in `user`.
    static OutboxPost postOf(int category, const LoginResultItem &user, const std::string &text,
                             Clock::time_point writtenAt);

    // Sends a post written to the outbox just now, claimed by its writer: it leaves the outbox
    // once posted or refused, and waits there for the next round otherwise.
    static HsPostOutcome sendNew(const OutboxPost &post);

    // Sends again the posts claimed for this round, grouped by category: posts found on their
    // category's first page (`firstPage` for `pageCategory` when given, fetched otherwise) leave
    // without a send; the others are sent, oldest first, until one gets no usable answer.
    // Posts not sent are given back to wait for the next round.
    static HsOutboxRound resend(const std::vector<OutboxPost> &claimed, const PageFetch &fetch,
                                int pageCategory = 0,
                                std::optional<HsStudentRecords> firstPage = std::nullopt);

    // The posts that are on the page already, each matched with a record of its own.
    static std::vector<OutboxPost> foundOnPage(const std::vector<OutboxPost> &posts,
                                               const HsStudentRecords &page);

    // Whether a record's date, as a list writes it, is not before `writtenAt`, at the precision
    // the list gives (a list that gives minutes, or days, counts a post as of its minute or day).
    static bool notBefore(const std::optional<std::string> &listDate, Clock::time_point writtenAt);

private:
    static HsPostOutcome send(const OutboxPost &post);
};
