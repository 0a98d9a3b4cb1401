#include "HomeWorkService.h"

#include "HsResponseProcessing.h"
#include "documents/GetHomeWorksParser.h"
#include "documents/ResultParser.h"

HomeWorkServiceResponse HomeWorkService::GetHomeWork(int32_t classId, int32_t page)
{
    return processGetHomeWorksResponse(
        hsCallService("getHomeWorks", {std::to_string(classId), std::to_string(page), "20"}));
}

HomeWorkServiceResponse HomeWorkService::PostHomeWork(const std::string &text, int32_t userId,
                                                      const std::string &schoolCode, int32_t classId)
{
    return processPostHomeWorksResponse(
        hsCallService("createHomeWork", {text, std::to_string(userId), schoolCode, std::to_string(classId)}));
}

HomeWorkServiceResponse HomeWorkService::processGetHomeWorksResponse(const HsCallResult &result)
{
    return hsProcessResult<HomeWorkServiceResponse, GetHomeWorksParser>(
        result, hsResultLine::postReturn, [](GetHomeWorksParser &parser, HomeWorkServiceResponse &response) {
            response.items = parser.takeItems();
        });
}

HomeWorkServiceResponse HomeWorkService::processPostHomeWorksResponse(const HsCallResult &result)
{
    return hsProcessResult<HomeWorkServiceResponse, ResultParser>(result, hsResultLine::postReturn,
                                                                  hsNoPayload);
}
