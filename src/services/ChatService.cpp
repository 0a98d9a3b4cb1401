#include "ChatService.h"

#include "HsResponseProcessing.h"
#include "documents/GetChatParser.h"
#include "documents/ResultParser.h"

ChatServiceResponse ChatService::GetChats(int32_t classId, int32_t page)
{
    return processGetChatsResponse(
        hsCallService("getChats", {std::to_string(classId), std::to_string(page), "20"}));
}

ChatServiceResponse ChatService::PostChat(const std::string &userName, const std::string &schoolCode,
                                          int32_t classId, const std::string &text)
{
    return processPostChatResponse(
        hsCallService("postChat", {userName, schoolCode, std::to_string(classId), text}));
}

ChatServiceResponse ChatService::processGetChatsResponse(const HsCallResult &result)
{
    return hsProcessResult<ChatServiceResponse, GetChatParser>(
        result, hsResultLine::postReturn, [](GetChatParser &parser, ChatServiceResponse &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}

ChatServiceResponse ChatService::processPostChatResponse(const HsCallResult &result)
{
    return hsProcessResult<ChatServiceResponse, ResultParser>(result, hsResultLine::postReturn, hsNoPayload);
}
