#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One tested subject.
// A new record has every number 0 and every text absent.
struct SubjectItem
{
    int32_t subjectId = 0;
    std::optional<std::string> subjectName;
    std::optional<std::string> testName;
    std::optional<std::string> testDate;
    float avgScore = 0;

    bool operator==(const SubjectItem &) const = default;
};
