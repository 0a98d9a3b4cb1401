#include "CliParsers.h"

#include "JsonRecords.h"
#include "documents/GetChatParser.h"
#include "documents/GetHomeWorksParser.h"
#include "documents/GetMyTeacherParser.h"
#include "documents/GetNewsByIdParser.h"
#include "documents/GetNewsesParser.h"
#include "documents/GetResourceParser.h"
#include "documents/GetResourcesParser.h"
#include "documents/GetReturnsParser.h"
#include "documents/GetStatesParser.h"
#include "documents/GetStudentsParser.h"
#include "documents/LoginStudentParser.h"
#include "documents/LoginTeacherParser.h"
#include "documents/NewsTypeParser.h"
#include "documents/ResourceTypeParser.h"
#include "documents/ResultParser.h"
#include "documents/StudentScoresParser.h"
#include "documents/SubjectsParser.h"
#include "documents/TestScoreParser.h"
#include "documents/UserPicUploadParser.h"

#include <functional>

namespace {

using json = nlohmann::ordered_json;

json codeAndError(const DocumentParser &parser)
{
    return {{"code", parser.code()}, {"error", parser.error()}};
}

// A parser with a payload, printed under the name of the accessor that returns it.
template <typename Parser, auto Payload> CliParser withPayload(const char *name, const char *payloadName)
{
    return {name, [payloadName](std::string_view document) -> std::optional<json> {
                Parser parser;
                if (!hsParseDocument(document, parser))
                    return std::nullopt;
                json printed = codeAndError(parser);
                printed[payloadName] = std::invoke(Payload, parser);
                return printed;
            }};
}

CliParser withoutPayload(const char *name)
{
    return {name, [](std::string_view document) -> std::optional<json> {
                ResultParser parser;
                if (!hsParseDocument(document, parser))
                    return std::nullopt;
                return codeAndError(parser);
            }};
}

std::vector<CliParser> buildParsers()
{
    return {
        withoutPayload("ResultParser"),
        withPayload<LoginTeacherParser, &LoginTeacherParser::item>("LoginTeacherParser", "item"),
        withPayload<LoginStudentParser, &LoginStudentParser::item>("LoginStudentParser", "item"),
        withPayload<NewsTypeParser, &NewsTypeParser::types>("NewsTypeParser", "types"),
        withPayload<GetNewsesParser, &GetNewsesParser::newses>("GetNewsesParser", "newses"),
        withPayload<GetNewsByIdParser, &GetNewsByIdParser::item>("GetNewsByIdParser", "item"),
        withPayload<GetReturnsParser, &GetReturnsParser::returns>("GetReturnsParser", "returns"),
        withPayload<ResourceTypeParser, &ResourceTypeParser::types>("ResourceTypeParser", "types"),
        withPayload<GetResourcesParser, &GetResourcesParser::resources>("GetResourcesParser", "resources"),
        withPayload<GetResourceParser, &GetResourceParser::item>("GetResourceParser", "item"),
        withPayload<GetHomeWorksParser, &GetHomeWorksParser::homeWorks>("GetHomeWorksParser", "homeWorks"),
        withPayload<TestScoreParser, &TestScoreParser::scores>("TestScoreParser", "scores"),
        withPayload<SubjectsParser, &SubjectsParser::subjects>("SubjectsParser", "subjects"),
        withPayload<StudentScoresParser, &StudentScoresParser::scores>("StudentScoresParser", "scores"),
        withPayload<GetStatesParser, &GetStatesParser::states>("GetStatesParser", "states"),
        withPayload<GetChatParser, &GetChatParser::chats>("GetChatParser", "chats"),
        withPayload<GetStudentsParser, &GetStudentsParser::students>("GetStudentsParser", "students"),
        withPayload<GetMyTeacherParser, &GetMyTeacherParser::teachers>("GetMyTeacherParser", "teachers"),
        withPayload<UserPicUploadParser, &UserPicUploadParser::image>("UserPicUploadParser", "image"),
    };
}

} // namespace

const std::vector<CliParser> &cliParsers()
{
    static const std::vector<CliParser> parsers = buildParsers();
    return parsers;
}

const CliParser *cliFindParser(std::string_view name)
{
    for (const CliParser &parser : cliParsers())
        if (name == parser.name)
            return &parser;
    return nullptr;
}
