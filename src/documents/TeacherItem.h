#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One teacher of the class.
// A new record has every number 0 and every text absent.
struct TeacherItem
{
    int32_t teacherId = 0;
    std::optional<std::string> teacherName;
    std::optional<std::string> avatar;
    std::optional<std::string> subject;

    bool operator==(const TeacherItem &) const = default;
};
