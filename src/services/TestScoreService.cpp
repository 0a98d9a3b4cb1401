#include "TestScoreService.h"

#include "HsResponseProcessing.h"
#include "documents/StudentScoresParser.h"
#include "documents/SubjectsParser.h"
#include "documents/TestScoreParser.h"

TestScoreServiceResponse<SubjectItem> TestScoreService::GetSubjects(int32_t first, int32_t second)
{
    return processGetSubjectsResponse(
        hsCallService("getTestSubjects", {std::to_string(first), std::to_string(second), "20"}));
}

TestScoreServiceResponse<TestScoreItem> TestScoreService::GetScores(int32_t value)
{
    return processGetTestScoresResponse(hsCallService("getTestScores", {std::to_string(value)}));
}

TestScoreServiceResponse<TestScoreItem> TestScoreService::GetStudentScores(int32_t userId)
{
    return processGetStudentScoresResponse(hsCallService("getStudentScores", {std::to_string(userId)}));
}

TestScoreServiceResponse<SubjectItem> TestScoreService::processGetSubjectsResponse(const HsCallResult &result)
{
    using Response = TestScoreServiceResponse<SubjectItem>;
    return hsProcessResult<Response, SubjectsParser>(result, hsResultLine::getScores,
                                                     [](SubjectsParser &parser, Response &response) {
                                                         hsTakeIfNotEmpty(parser.takeItems(), response.items);
                                                     });
}

TestScoreServiceResponse<TestScoreItem>
TestScoreService::processGetTestScoresResponse(const HsCallResult &result)
{
    using Response = TestScoreServiceResponse<TestScoreItem>;
    return hsProcessResult<Response, TestScoreParser>(
        result, hsResultLine::getScores, [](TestScoreParser &parser, Response &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}

TestScoreServiceResponse<TestScoreItem>
TestScoreService::processGetStudentScoresResponse(const HsCallResult &result)
{
    using Response = TestScoreServiceResponse<TestScoreItem>;
    return hsProcessResult<Response, StudentScoresParser>(
        result, hsResultLine::getScores, [](StudentScoresParser &parser, Response &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}
