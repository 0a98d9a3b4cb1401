#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "ChatServiceResponse.h"

// The home-school chat of a class.
// Every operation blocks the calling thread until the answer has been processed.
class ChatService
{
public:
    ChatServiceResponse GetChats(int32_t classId, int32_t page);
    ChatServiceResponse PostChat(const std::string &userName, const std::string &schoolCode, int32_t classId,
                                 const std::string &text);

    static ChatServiceResponse processGetChatsResponse(const HsCallResult &result);
    static ChatServiceResponse processPostChatResponse(const HsCallResult &result);
};
