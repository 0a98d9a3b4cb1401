#include "common/HsLog.h"
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

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// The code and error of one parse must not depend on which parser read the document: every
// parser reads "Code" and "Error" the same way.
struct ResultOfParse
{
    int32_t code;
    std::optional<std::string> error;
};

template <typename P> ResultOfParse parseWith(std::string_view document)
{
    P parser;
    hsParseDocument(document, parser);
    return {parser.code(), parser.error()};
}

template <typename... Parsers> struct ParserList
{};

// Every parser of the client; the first byte of an input names one.
using EveryParser =
    ParserList<ResultParser, LoginTeacherParser, LoginStudentParser, NewsTypeParser, GetNewsesParser,
               GetNewsByIdParser, GetReturnsParser, ResourceTypeParser, GetResourcesParser, GetResourceParser,
               GetHomeWorksParser, TestScoreParser, SubjectsParser, StudentScoresParser, GetStatesParser,
               GetChatParser, GetStudentsParser, GetMyTeacherParser, UserPicUploadParser>;

// Reads the document with the parser the selector names and checks it against the plain result
// parser. One parser per input, not all of them, keeps the target fast enough to go deep.
template <typename... Parsers>
void parseWithOneOf(ParserList<Parsers...>, uint8_t selector, std::string_view document)
{
    static constexpr std::array<ResultOfParse (*)(std::string_view), sizeof...(Parsers)> parsers{
        &parseWith<Parsers>...};
    const size_t chosen = selector % parsers.size();
    const ResultOfParse result = parsers[chosen](document);
    if (chosen == 0)
        return;
    const ResultOfParse reference = parseWith<ResultParser>(document);
    if (result.code != reference.code || result.error != reference.error)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    hsSetLogSink([](const std::string &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view document(reinterpret_cast<const char *>(data) + 1, size - 1);
    parseWithOneOf(EveryParser{}, data[0], document);
    return 0;
}
