#include "HsStudentOutbox.h"

#include "screens/HsText.h"
#include "services/ChatService.h"
#include "services/HomeWorkService.h"
#include "services/StudentStateService.h"

#include <QDateTime>
#include <map>

namespace {

constexpr int homeworkCategory = HsStudentRecordModel::HomeWork;
constexpr int statesCategory = HsStudentRecordModel::StateReports;
constexpr int chatCategory = HsStudentRecordModel::Chat;

// Who wrote a record, what it says and when, as its list gives them.
struct Written
{
    const std::optional<std::string> &author;
    const std::optional<std::string> &text;
    const std::optional<std::string> &date;
};

Written writtenOf(const ChatItem &item)
{
    return {item.userName, item.content, item.chatDate};
}

Written writtenOf(const HomeWorkItem &item)
{
    return {item.teacherName, item.content, item.hwDate};
}

Written writtenOf(const StudentStateItem &item)
{
    return {item.teacherName, item.content, item.stateDate};
}

// A list names the author by the account the post was sent as, or by the person's name,
// which a list may follow with a title ("王芳老师", "李雨桐家长").
bool writtenBy(const std::optional<std::string> &author, const OutboxPost &post)
{
    if (!author)
        return false;
    if (post.userName && *author == *post.userName)
        return true;
    return post.realName && !post.realName->empty() && author->starts_with(*post.realName);
}

bool isPost(const Written &record, const OutboxPost &post)
{
    return record.text == post.text && writtenBy(record.author, post) &&
           HsStudentOutbox::notBefore(record.date, HsStudentOutbox::Clock::from_time_t(post.writtenAt));
}

// How precisely a list writes its dates.
enum class Precision
{
    Second,
    Minute,
    Day,
};

struct DateForm
{
    const char *format;
    Precision precision;
};

constexpr DateForm dateForms[] = {
    {"yyyy-MM-dd HH:mm:ss", Precision::Second},
    {"yyyy-MM-ddTHH:mm:ss", Precision::Second},
    {"yyyy/MM/dd HH:mm:ss", Precision::Second},
    {"yyyy-MM-dd HH:mm", Precision::Minute},
    {"yyyy/MM/dd HH:mm", Precision::Minute},
    {"yyyy-MM-dd", Precision::Day},
    {"yyyy/MM/dd", Precision::Day},
};

QDateTime truncated(const QDateTime &time, Precision precision)
{
    switch (precision) {
    case Precision::Second:
        return QDateTime(time.date(), QTime(time.time().hour(), time.time().minute(), time.time().second()));
    case Precision::Minute:
        return QDateTime(time.date(), QTime(time.time().hour(), time.time().minute()));
    case Precision::Day:
        return QDateTime(time.date(), QTime(0, 0));
    }
    return time;
}

template <class Item>
std::vector<OutboxPost> matched(const std::vector<OutboxPost> &posts, const std::vector<Item> &page)
{
    std::vector<bool> taken(page.size(), false);
    std::vector<OutboxPost> found;
    for (const OutboxPost &post : posts) {
        for (std::size_t row = 0; row < page.size(); ++row) {
            if (!taken[row] && isPost(writtenOf(page[row]), post)) {
                taken[row] = true;
                found.push_back(post);
                break;
            }
        }
    }
    return found;
}

std::vector<OutboxPost> matched(const std::vector<OutboxPost> &, const std::vector<TestScoreItem> &)
{
    return {};
}

// The posts of each category, oldest first.
std::map<int, std::vector<OutboxPost>> byCategory(const std::vector<OutboxPost> &posts)
{
    std::map<int, std::vector<OutboxPost>> groups;
    for (const OutboxPost &post : posts)
        groups[post.category].push_back(post);
    for (auto &[category, group] : groups)
        std::stable_sort(group.begin(), group.end(),
                         [](const OutboxPost &a, const OutboxPost &b) { return a.writtenAt < b.writtenAt; });
    return groups;
}

bool contains(const std::vector<OutboxPost> &posts, const OutboxPost &post)
{
    return std::any_of(posts.begin(), posts.end(),
                       [&](const OutboxPost &found) { return found.id == post.id; });
}

} // namespace

std::optional<HsPostOutcome> HsOutboxRound::outcome() const
{
    if (unanswered)
        return HsPostOutcome::Unanswered;
    if (!refused.empty())
        return HsPostOutcome::Refused;
    if (!reached.empty())
        return HsPostOutcome::Posted;
    return std::nullopt;
}

OutboxPost HsStudentOutbox::postOf(int category, const LoginResultItem &user, const std::string &text,
                                   Clock::time_point writtenAt)
{
    return {.category = category,
            .userId = user.userId,
            .userName = user.userName,
            .realName = user.realName,
            .schoolCode = user.schoolCode,
            .classId = user.classId,
            .text = text,
            .writtenAt = Clock::to_time_t(writtenAt)};
}

HsPostOutcome HsStudentOutbox::send(const OutboxPost &post)
{
    const std::string schoolCode = post.schoolCode.value_or(std::string());
    const std::string userName = post.userName.value_or(std::string());
    HsServiceResponse response;
    if (post.category == chatCategory)
        response = ChatService().PostChat(userName, schoolCode, post.classId, post.text);
    else if (post.category == statesCategory)
        response = StudentStateService().PostStdStates(userName, "", 1, post.text, schoolCode, post.classId);
    else
        response = HomeWorkService().PostHomeWork(post.text, post.userId, schoolCode, post.classId);
    if (!response.answered)
        return HsPostOutcome::Unanswered;
    return response.code == 0 ? HsPostOutcome::Posted : HsPostOutcome::Refused;
}

HsPostOutcome HsStudentOutbox::sendNew(const OutboxPost &post)
{
    const HsPostOutcome outcome = send(post);
    if (outcome == HsPostOutcome::Unanswered)
        OutboxDao().release(post.id);
    else
        OutboxDao().remove(post.id);
    return outcome;
}

HsOutboxRound HsStudentOutbox::resend(const std::vector<OutboxPost> &claimed, const PageFetch &fetch,
                                      int pageCategory, std::optional<HsStudentRecords> firstPage)
{
    HsOutboxRound round;
    const OutboxDao outbox;
    for (const auto &[category, posts] : byCategory(claimed)) {
        std::optional<HsStudentRecords> page;
        if (category == pageCategory && firstPage)
            page = firstPage;
        else if (!round.unanswered)
            page = fetch(category);
        const std::vector<OutboxPost> found = page ? foundOnPage(posts, *page) : std::vector<OutboxPost>{};
        round.unanswered = round.unanswered || !page;
        for (const OutboxPost &post : posts) {
            if (contains(found, post)) {
                outbox.remove(post.id);
                round.reached.insert(category);
                continue;
            }
            // With the service out of reach, the rest wait for the next round.
            const HsPostOutcome outcome = round.unanswered ? HsPostOutcome::Unanswered : send(post);
            if (outcome == HsPostOutcome::Unanswered) {
                outbox.release(post.id);
                round.unanswered = true;
            } else if (outcome == HsPostOutcome::Posted) {
                outbox.remove(post.id);
                round.reached.insert(category);
            } else {
                outbox.refuse(post.id);
                round.refused.push_back(post);
            }
        }
    }
    return round;
}

std::vector<OutboxPost> HsStudentOutbox::foundOnPage(const std::vector<OutboxPost> &posts,
                                                     const HsStudentRecords &page)
{
    const int pageCategory = static_cast<int>(page.index()) + 1;
    std::vector<OutboxPost> ofPage;
    std::copy_if(posts.begin(), posts.end(), std::back_inserter(ofPage),
                 [&](const OutboxPost &post) { return post.category == pageCategory; });
    return std::visit([&](const auto &records) { return matched(ofPage, records); }, page);
}

bool HsStudentOutbox::notBefore(const std::optional<std::string> &listDate, Clock::time_point writtenAt)
{
    const QString date = hsDisplayText(listDate).trimmed();
    const QDateTime written = QDateTime::fromSecsSinceEpoch(Clock::to_time_t(writtenAt));
    for (const DateForm &form : dateForms) {
        const QDateTime listed = QDateTime::fromString(date, QLatin1String(form.format));
        if (listed.isValid())
            return truncated(listed, form.precision) >= truncated(written, form.precision);
    }
    return false;
}
