#pragma once

#include "HsPersonalFields.h"
#include "HsServiceCall.h"
#include "documents/DocumentParser.h"
#include "common/HsLog.h"

#include <vector>

// The steps that every operation takes with its result text: log the result line, run the
// operation's parser over the text, then copy code and error into a new record and move the
// payload there. Each operation supplies only its record type, its parser type and how the payload
// is taken from the parser.
// A result counts as an answer only when its text is one well-formed document: an empty result
// or one that is not XML (or is cut short) leaves the record unanswered, whatever was read.

// The subject of each operation's result line; the line reads "<subject> result: <text>", with the
// text of personal fields masked.
namespace hsResultLine {
inline constexpr const char *postReturn = "post return";
inline constexpr const char *getScores = "get scores";
inline constexpr const char *getNewses = "get newses";
inline constexpr const char *getHomework = "get homework";
inline constexpr const char *postModifyStudent = "post modify student";
inline constexpr const char *postFeedback = "post feedback";
} // namespace hsResultLine

template <typename Response, typename Parser, typename TakePayload>
Response hsProcessResult(const HsCallResult &result, const char *resultLine, TakePayload takePayload)
{
    Response response;
    if (hsLogWritten())
        hsLog("%s result: %s", resultLine,
              result.text ? hsWithPersonalFieldsMasked(*result.text).c_str() : hsText(result.text));
    if (!result.text)
        return response;
    Parser parser;
    const bool wellFormed = hsParseDocument(*result.text, parser);
    response.answered = result.answered && wellFormed;
    response.code = parser.code();
    response.error = parser.error();
    takePayload(parser, response);
    return response;
}

// Operations whose document carries nothing beside code and error.
inline constexpr auto hsNoPayload = [](const auto &, auto &) {};

// Lists that stay unset unless the parser found at least one item.
template <typename Item> void hsTakeIfNotEmpty(std::vector<Item> parsed, std::vector<Item> &target)
{
    if (!parsed.empty())
        target = std::move(parsed);
}
