#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One homework entry.
// A new record has every number 0 and every text absent.
struct HomeWorkItem
{
    int32_t hwId = 0;
    std::optional<std::string> content;
    std::optional<std::string> teacherName;
    std::optional<std::string> hwDate;

    bool operator==(const HomeWorkItem &) const = default;
};
