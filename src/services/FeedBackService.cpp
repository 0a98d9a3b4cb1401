#include "FeedBackService.h"

#include "HsResponseProcessing.h"
#include "documents/ResultParser.h"

HsServiceResponse FeedBackService::PostFeedBack(const std::string &text, int32_t userId, int32_t loginType)
{
    return processPostFeedbackResponse(
        hsCallService("createFeedback", {text, std::to_string(userId), std::to_string(loginType)}));
}

HsServiceResponse FeedBackService::processPostFeedbackResponse(const HsCallResult &result)
{
    return hsProcessResult<HsServiceResponse, ResultParser>(result, hsResultLine::postFeedback, hsNoPayload);
}
