#include "Operations.h"

#include "Handlers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <ctime>
#include <stdexcept>

namespace {

constexpr auto Text = ArgumentKind::Text;
constexpr auto Integer = ArgumentKind::Integer;
constexpr auto Password = ArgumentKind::Password;
constexpr auto Picture = ArgumentKind::Picture;

constexpr int64_t kDefaultPageSize = 20;
constexpr int64_t kMaxPageSize = 100;
constexpr int64_t kMaxPage = 1000000;

// Longest value of each kind of argument, in bytes. A text holds a post of several thousand
// Chinese characters; a picture is bounded by the body limit alone.
size_t longestValue(ArgumentKind kind)
{
    switch (kind) {
    case ArgumentKind::Text:
        return 20000;
    case ArgumentKind::Integer:
        return 32;
    case ArgumentKind::Password:
        return 256;
    case ArgumentKind::Picture:
        break;
    }
    return SIZE_MAX;
}

} // namespace

// Readings chosen for arguments whose meaning the client leaves open:
//  - getTestSubjects(classId, page): the tests the class has sat, one "Subject" each, whose
//    SubjectId is the test's number; getTestScores(testId) then lists that test's scores.
//  - createReturn(newsId, text, userId, loginType): a reply to a notice by a teacher
//    (loginType 0) or a parent (1); getReturns(newsId, userId, page) lists the replies to a
//    notice, all of them when userId is 0, else only that user's.
//  - createStdState(userName, kind, authorRole, ...): kind is the report's kind (answered as
//    "Type"; empty for an everyday report), authorRole 0 a teacher and 1 a parent.
//  - changePassword(userName, old, new, fourth): account names are unique over teachers and
//    parents, so the name alone finds the account; the fourth number is accepted and unused.
//  - setTeacherAvatar/setStudentAvatar(personId, base64 picture): the teacher or student number.
//  - setStudentInfo(studentId): the parent confirms the student's details as they stand; the
//    service records the time of the confirmation and refuses an unknown student.
const std::vector<OperationSpec> &operationTable()
{
    static const std::vector<OperationSpec> table{
        {"getHomeWorks",
         {{"classId", Integer}, {"page", Integer}, {"pageSize", Integer}},
         getHomeWorks,
         "The class's homework, newest first."},
        {"createHomeWork",
         {{"text", Text}, {"userId", Integer}, {"schoolCode", Text}, {"classId", Integer}},
         createHomeWork,
         "Posts homework for a class."},
        {"getTestSubjects",
         {{"classId", Integer}, {"page", Integer}, {"pageSize", Integer}},
         getTestSubjects,
         "The tests a class has sat, with subject and average."},
        {"getTestScores", {{"testId", Integer}}, getTestScores, "Every student's score in one test."},
        {"getStudentScores",
         {{"studentId", Integer}},
         getStudentScores,
         "One student's scores, newest first."},
        {"getStdStates",
         {{"classId", Integer}, {"page", Integer}, {"pageSize", Integer}},
         getStdStates,
         "The class's daily state reports, newest first."},
        {"createStdState",
         {{"userName", Text},
          {"kind", Text},
          {"authorRole", Integer},
          {"text", Text},
          {"schoolCode", Text},
          {"classId", Integer}},
         createStdState,
         "Posts a daily state report."},
        {"getChats",
         {{"classId", Integer}, {"page", Integer}, {"pageSize", Integer}},
         getChats,
         "The class's home-school chat, newest first."},
        {"postChat",
         {{"userName", Text}, {"schoolCode", Text}, {"classId", Integer}, {"text", Text}},
         postChat,
         "Posts a chat message."},
        {"getNews",
         {{"schoolCode", Text},
          {"classId", Integer},
          {"typeCode", Text},
          {"page", Integer},
          {"pageSize", Integer}},
         getNews,
         "Headlines of one category for a class, newest first."},
        {"getNewsById", {{"newsId", Integer}}, getNewsById, "One notice or news item with its text."},
        {"getNewsTypes", {}, getNewsTypes, "The categories of notices and news."},
        {"createReturn",
         {{"newsId", Integer}, {"text", Text}, {"userId", Integer}, {"loginType", Integer}},
         createReturn,
         "Posts a reply to a notice."},
        {"getReturns",
         {{"newsId", Integer}, {"userId", Integer}, {"page", Integer}, {"pageSize", Integer}},
         getReturns,
         "Replies to a notice, newest first."},
        {"getResources",
         {{"typeCode", Text}, {"page", Integer}, {"pageSize", Integer}},
         getResources,
         "Resources of one category, newest first."},
        {"SearchResource",
         {{"keyword", Text}, {"page", Integer}, {"pageSize", Integer}},
         searchResource,
         "Resources whose title or text holds the keyword."},
        {"getPhotoResources",
         {{"page", Integer}, {"pageSize", Integer}},
         getPhotoResources,
         "Recommended resources with pictures."},
        {"getResource",
         {{"resourceId", Integer}},
         getResource,
         "One resource with picture, text and contacts."},
        {"getResourceTypes", {}, getResourceTypes, "The categories of resources."},
        {"loginTeacher", {{"userName", Text}, {"password", Password}}, loginTeacher, "Signs a teacher in."},
        {"loginStudent",
         {{"userName", Text}, {"password", Password}},
         loginStudent,
         "Signs a parent in for one student."},
        {"setTeacherAvatar",
         {{"teacherId", Integer}, {"image", Picture}},
         setTeacherAvatar,
         "Stores a teacher's picture (base64 PNG or JPEG)."},
        {"setStudentAvatar",
         {{"studentId", Integer}, {"image", Picture}},
         setStudentAvatar,
         "Stores a student's picture (base64 PNG or JPEG)."},
        {"setStudentInfo", {{"studentId", Integer}}, setStudentInfo, "Confirms a student's details."},
        {"changePassword",
         {{"userName", Text}, {"oldPassword", Password}, {"newPassword", Password}, {"fourth", Integer}},
         changePassword,
         "Changes an account's password."},
        {"getStudents", {{"classId", Integer}}, getStudents, "The students of a class."},
        {"getTeachers", {{"classId", Integer}}, getTeachers, "The teachers of a class."},
        {"createFeedback",
         {{"text", Text}, {"userId", Integer}, {"loginType", Integer}},
         createFeedback,
         "Stores feedback about the application."},
    };
    return table;
}

const OperationSpec *findOperation(std::string_view method)
{
    const auto &table = operationTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const auto &op) { return op.method == method; });
    return found == table.end() ? nullptr : &*found;
}

Arguments::Arguments(const std::vector<ArgumentSpec> &specs, std::vector<std::string> values)
    : specs_(specs), values_(std::move(values))
{
    values_.resize(std::max(values_.size(), specs_.size()));
}

std::optional<std::string_view> Arguments::overlong() const
{
    for (size_t i = 0; i < specs_.size(); ++i)
        if (values_[i].size() > longestValue(specs_[i].kind))
            return specs_[i].name;
    return std::nullopt;
}

const std::string &Arguments::text(std::string_view name) const
{
    for (size_t i = 0; i < specs_.size(); ++i)
        if (specs_[i].name == name)
            return values_[i];
    throw std::logic_error("no argument named " + std::string(name));
}

int64_t Arguments::integer(std::string_view name) const
{
    const std::string &value = text(name);
    size_t start = 0;
    while (start < value.size() && std::isspace(static_cast<unsigned char>(value[start])))
        ++start;
    if (start < value.size() && value[start] == '+')
        ++start;
    int64_t number = 0;
    const auto [end, ec] = std::from_chars(value.data() + start, value.data() + value.size(), number);
    (void)end;
    return ec == std::errc() ? number : 0;
}

ResultDocument::ResultDocument(int code, std::string_view error)
{
    xml_.open("Result");
    xml_.element("Code", std::to_string(code));
    xml_.element("Error", error);
}

void ResultDocument::item(std::string_view itemName, const FieldNames &names, const Statement &row)
{
    xml_.open(itemName);
    fields(names, row);
    xml_.close();
}

void ResultDocument::fields(const FieldNames &names, const Statement &row)
{
    int column = 0;
    for (const auto name : names)
        xml_.element(name, row.textView(column++));
}

std::string success()
{
    return ResultDocument().finish();
}

std::string refuse(int code, std::string_view error)
{
    return ResultDocument(code, error).finish();
}

Page pageOf(const Arguments &args, std::string_view pageName, std::string_view sizeName)
{
    const int64_t page = std::clamp<int64_t>(args.integer(pageName), 1, kMaxPage);
    int64_t size = args.integer(sizeName);
    if (size < 1 || size > kMaxPageSize)
        size = kDefaultPageSize;
    return Page{size, (page - 1) * size};
}

std::string currentDate()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}
