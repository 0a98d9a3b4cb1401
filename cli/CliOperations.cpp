#include "CliOperations.h"

#include "JsonRecords.h"
#include "services/ChatService.h"
#include "services/FeedBackService.h"
#include "services/HomeWorkService.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/ResourceService.h"
#include "services/StudentInfoService.h"
#include "services/StudentStateService.h"
#include "services/TestScoreService.h"
#include "services/UploadAvatarService.h"

#include <charconv>

namespace {

using Args = CliCallArguments;
using json = nlohmann::ordered_json;

constexpr auto Text = CliArgumentKind::Text;
constexpr auto Integer = CliArgumentKind::Integer;

std::vector<CliOperation> buildOperations()
{
    return {
        {"GetHomeWork",
         {{"classId", Integer}, {"page", Integer}},
         [](const Args &a) { return json(HomeWorkService().GetHomeWork(a.integer(0), a.integer(1))); }},
        {"PostHomeWork",
         {{"text", Text}, {"userId", Integer}, {"schoolCode", Text}, {"classId", Integer}},
         [](const Args &a) {
             return json(HomeWorkService().PostHomeWork(a.text(0), a.integer(1), a.text(2), a.integer(3)));
         }},
        {"GetSubjects",
         {{"first", Integer}, {"second", Integer}},
         [](const Args &a) { return json(TestScoreService().GetSubjects(a.integer(0), a.integer(1))); }},
        {"GetScores",
         {{"value", Integer}},
         [](const Args &a) { return json(TestScoreService().GetScores(a.integer(0))); }},
        {"GetStudentScores",
         {{"userId", Integer}},
         [](const Args &a) { return json(TestScoreService().GetStudentScores(a.integer(0))); }},
        {"GetStdStates",
         {{"classId", Integer}, {"page", Integer}},
         [](const Args &a) { return json(StudentStateService().GetStdStates(a.integer(0), a.integer(1))); }},
        {"PostStdStates",
         {{"userName", Text},
          {"second", Text},
          {"third", Integer},
          {"text", Text},
          {"schoolCode", Text},
          {"classId", Integer}},
         [](const Args &a) {
             return json(StudentStateService().PostStdStates(a.text(0), a.text(1), a.integer(2), a.text(3),
                                                             a.text(4), a.integer(5)));
         }},
        {"GetChats",
         {{"classId", Integer}, {"page", Integer}},
         [](const Args &a) { return json(ChatService().GetChats(a.integer(0), a.integer(1))); }},
        {"PostChat",
         {{"userName", Text}, {"schoolCode", Text}, {"classId", Integer}, {"text", Text}},
         [](const Args &a) {
             return json(ChatService().PostChat(a.text(0), a.text(1), a.integer(2), a.text(3)));
         }},
        {"GetNews",
         {{"schoolCode", Text}, {"classId", Integer}, {"typeCode", Text}, {"page", Integer}},
         [](const Args &a) {
             return json(NewsService().GetNews(a.text(0), a.integer(1), a.text(2), a.integer(3)));
         }},
        {"GetTheNews",
         {{"newsId", Integer}},
         [](const Args &a) { return json(NewsService().GetTheNews(a.integer(0))); }},
        {"GetNewsTypes", {}, [](const Args &) { return json(NewsService().GetNewsTypes()); }},
        {"PostReturn",
         {{"first", Integer}, {"text", Text}, {"third", Integer}, {"fourth", Integer}},
         [](const Args &a) {
             return json(NewsService().PostReturn(a.integer(0), a.text(1), a.integer(2), a.integer(3)));
         }},
        {"GetReturns",
         {{"first", Integer}, {"second", Integer}, {"third", Integer}},
         [](const Args &a) {
             return json(NewsService().GetReturns(a.integer(0), a.integer(1), a.integer(2)));
         }},
        {"GetResources",
         {{"typeCode", Text}, {"page", Integer}},
         [](const Args &a) { return json(ResourceService().GetResources(a.text(0), a.integer(1))); }},
        {"SearchResources",
         {{"keyword", Text}, {"page", Integer}},
         [](const Args &a) { return json(ResourceService().SearchResources(a.text(0), a.integer(1))); }},
        {"GetTopResource",
         {{"page", Integer}},
         [](const Args &a) { return json(ResourceService().GetTopResource(a.integer(0))); }},
        {"GetResource",
         {{"resourceId", Integer}},
         [](const Args &a) { return json(ResourceService().GetResource(a.integer(0))); }},
        {"GetResourceTypes", {}, [](const Args &) { return json(ResourceService().GetResourceTypes()); }},
        {"LoginTeacher",
         {{"userName", Text}, {"password", Text}},
         [](const Args &a) { return json(LoginService().LoginTeacher(a.text(0), a.text(1))); }},
        {"LoginStudent",
         {{"userName", Text}, {"password", Text}},
         [](const Args &a) { return json(LoginService().LoginStudent(a.text(0), a.text(1))); }},
        {"UploadTeacherAvatar",
         {{"first", Integer}, {"image", Text}},
         [](const Args &a) {
             return json(UploadAvatarService().UploadTeacherAvatar(a.integer(0), a.text(1)));
         }},
        {"UploadStudentAvatar",
         {{"first", Integer}, {"image", Text}},
         [](const Args &a) {
             return json(UploadAvatarService().UploadStudentAvatar(a.integer(0), a.text(1)));
         }},
        {"ModifyStdInfo",
         {{"value", Integer}},
         [](const Args &a) { return json(StudentInfoService().ModifyStdInfo(a.integer(0))); }},
        {"ModifyPass",
         {{"userName", Text}, {"oldPassword", Text}, {"newPassword", Text}, {"fourth", Integer}},
         [](const Args &a) {
             return json(StudentInfoService().ModifyPass(a.text(0), a.text(1), a.text(2), a.integer(3)));
         }},
        {"GetMySchoolMates",
         {{"classId", Integer}},
         [](const Args &a) { return json(StudentInfoService().GetMySchoolMates(a.integer(0))); }},
        {"GetMyTeachers",
         {{"classId", Integer}},
         [](const Args &a) { return json(StudentInfoService().GetMyTeachers(a.integer(0))); }},
        {"PostFeedBack",
         {{"text", Text}, {"userId", Integer}, {"loginType", Integer}},
         [](const Args &a) {
             return json(FeedBackService().PostFeedBack(a.text(0), a.integer(1), a.integer(2)));
         }},
    };
}

} // namespace

int32_t CliCallArguments::integer(size_t index) const
{
    return cliParseInteger(text(index)).value();
}

const std::vector<CliOperation> &cliOperations()
{
    static const std::vector<CliOperation> operations = buildOperations();
    return operations;
}

const CliOperation *cliFindOperation(const std::string &name)
{
    for (const CliOperation &operation : cliOperations())
        if (name == operation.name)
            return &operation;
    return nullptr;
}

std::optional<int32_t> cliParseInteger(const std::string &text)
{
    int32_t value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string cliArgumentSynopsis(const CliOperation &operation)
{
    std::string synopsis;
    for (const CliArgument &argument : operation.arguments)
        synopsis += (synopsis.empty() ? "" : " ") + std::string(argument.name);
    return synopsis;
}

std::optional<std::string> cliArgumentProblem(const CliOperation &operation,
                                              const std::vector<std::string> &values)
{
    if (values.size() != operation.arguments.size())
        return std::string(operation.name) + " takes " + std::to_string(operation.arguments.size()) +
               " argument(s) (" + cliArgumentSynopsis(operation) + "), " + std::to_string(values.size()) +
               " given";
    for (size_t index = 0; index < values.size(); ++index) {
        const CliArgument &argument = operation.arguments[index];
        if (argument.kind == CliArgumentKind::Integer && !cliParseInteger(values[index]))
            return std::string(operation.name) + ": " + argument.name + " must be an integer, not '" +
                   values[index] + "'";
    }
    return std::nullopt;
}
