#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "HsServiceResponse.h"

// Feedback about the application.
// Every operation blocks the calling thread until the answer has been processed.
class FeedBackService
{
public:
    HsServiceResponse PostFeedBack(const std::string &text, int32_t userId, int32_t loginType);

    static HsServiceResponse processPostFeedbackResponse(const HsCallResult &result);
};
