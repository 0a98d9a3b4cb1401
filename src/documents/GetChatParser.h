#pragma once

#include "documents/ChatItem.h"
#include "documents/DocumentForm.h"

#include <vector>

// Reads the home-school chat: one "Chat" element per message.
class GetChatParser : public ListDocumentParser<ChatItem>
{
public:
    GetChatParser();
    ~GetChatParser() override;

    const std::vector<ChatItem> &chats() const { return items(); }
};
