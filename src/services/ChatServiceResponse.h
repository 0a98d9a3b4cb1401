#pragma once

#include <vector>

#include "HsServiceResponse.h"
#include "documents/ChatItem.h"

struct ChatServiceResponse : HsServiceResponse
{
    std::vector<ChatItem> items;
};
