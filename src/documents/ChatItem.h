#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One message of the home-school chat.
// A new record has every number 0 and every text absent.
struct ChatItem
{
    int32_t userId = 0;
    std::optional<std::string> userName;
    std::optional<std::string> content;
    std::optional<std::string> chatDate;

    bool operator==(const ChatItem &) const = default;
};
