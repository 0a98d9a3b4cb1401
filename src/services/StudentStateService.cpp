#include "StudentStateService.h"

#include "HsResponseProcessing.h"
#include "documents/GetStatesParser.h"
#include "documents/ResultParser.h"

StudentStateServiceResponse StudentStateService::GetStdStates(int32_t classId, int32_t page)
{
    return processGetStuStatesResponse(
        hsCallService("getStdStates", {std::to_string(classId), std::to_string(page), "20"}));
}

StudentStateServiceResponse StudentStateService::PostStdStates(const std::string &userName,
                                                               const std::string &second, int32_t third,
                                                               const std::string &text,
                                                               const std::string &schoolCode, int32_t classId)
{
    return processPostStuStatesResponse(
        hsCallService("createStdState",
                      {userName, second, std::to_string(third), text, schoolCode, std::to_string(classId)}));
}

StudentStateServiceResponse StudentStateService::processGetStuStatesResponse(const HsCallResult &result)
{
    return hsProcessResult<StudentStateServiceResponse, GetStatesParser>(
        result, hsResultLine::postReturn, [](GetStatesParser &parser, StudentStateServiceResponse &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}

StudentStateServiceResponse StudentStateService::processPostStuStatesResponse(const HsCallResult &result)
{
    return hsProcessResult<StudentStateServiceResponse, ResultParser>(result, hsResultLine::postReturn,
                                                                      hsNoPayload);
}
