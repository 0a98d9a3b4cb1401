#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One daily state report about the student.
// A new record has every number 0 and every text absent.
struct StudentStateItem
{
    int32_t stateId = 0;
    std::optional<std::string> content;
    std::optional<std::string> teacherName;
    std::optional<std::string> stateDate;

    bool operator==(const StudentStateItem &) const = default;
};
