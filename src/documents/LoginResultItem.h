#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The signed-in user, filled from the teacher or the student login document.
// A new record has every number 0 and every text absent.
struct LoginResultItem
{
    int32_t userId = 0;
    std::optional<std::string> userName;
    std::optional<std::string> realName;
    std::optional<std::string> avatar;
    int32_t classId = 0;
    std::optional<std::string> className;
    std::optional<std::string> schoolName;
    std::optional<std::string> schoolCode;
    std::optional<std::string> address;
    std::optional<std::string> phone;
    std::optional<std::string> motherName;
    std::optional<std::string> motherPhone;
    std::optional<std::string> motherWork;
    std::optional<std::string> fatherName;
    std::optional<std::string> fatherPhone;
    std::optional<std::string> fatherWork;

    bool operator==(const LoginResultItem &) const = default;
};
