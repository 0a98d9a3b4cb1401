#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "TestScoreServiceResponse.h"

// Tests and scores.
// Every operation blocks the calling thread until the answer has been processed.
class TestScoreService
{
public:
    TestScoreServiceResponse<SubjectItem> GetSubjects(int32_t first, int32_t second);
    TestScoreServiceResponse<TestScoreItem> GetScores(int32_t value);
    TestScoreServiceResponse<TestScoreItem> GetStudentScores(int32_t userId);

    static TestScoreServiceResponse<SubjectItem> processGetSubjectsResponse(const HsCallResult &result);
    static TestScoreServiceResponse<TestScoreItem> processGetTestScoresResponse(const HsCallResult &result);
    static TestScoreServiceResponse<TestScoreItem> processGetStudentScoresResponse(const HsCallResult &result);
};
