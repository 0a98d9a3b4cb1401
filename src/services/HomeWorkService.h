#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "HomeWorkServiceResponse.h"

// The class's homework: the list and posting a new entry.
// Every operation blocks the calling thread until the answer has been processed.
class HomeWorkService
{
public:
    HomeWorkServiceResponse GetHomeWork(int32_t classId, int32_t page);
    HomeWorkServiceResponse PostHomeWork(const std::string &text, int32_t userId, const std::string &schoolCode,
                                         int32_t classId);

    static HomeWorkServiceResponse processGetHomeWorksResponse(const HsCallResult &result);
    static HomeWorkServiceResponse processPostHomeWorksResponse(const HsCallResult &result);
};
