#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One student of the class.
// A new record has every number 0 and every text absent.
struct StudentItem
{
    int32_t studentId = 0;
    std::optional<std::string> studentName;
    std::optional<std::string> avatar;
    std::optional<std::string> realName;
    std::optional<std::string> address;
    std::optional<std::string> urgentPhone;
    std::optional<std::string> motherName;
    std::optional<std::string> motherPhone;
    std::optional<std::string> motherWork;
    std::optional<std::string> fatherName;
    std::optional<std::string> fatherPhone;
    std::optional<std::string> fatherWork;

    bool operator==(const StudentItem &) const = default;
};
