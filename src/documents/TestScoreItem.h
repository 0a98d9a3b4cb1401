#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One score: of a student in a test, or of one subject in the student's own scores.
// A new record has every number 0 and every text absent.
struct TestScoreItem
{
    std::optional<std::string> studentName;
    float score = 0;
    float avgScore = 0;
    std::optional<std::string> subjectName;
    std::optional<std::string> testDate;

    bool operator==(const TestScoreItem &) const = default;
};
