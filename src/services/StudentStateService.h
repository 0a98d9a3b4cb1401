#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "StudentStateServiceResponse.h"

// Daily state reports about the student.
// Every operation blocks the calling thread until the answer has been processed.
class StudentStateService
{
public:
    StudentStateServiceResponse GetStdStates(int32_t classId, int32_t page);
    StudentStateServiceResponse PostStdStates(const std::string &userName, const std::string &second, int32_t third,
                                              const std::string &text, const std::string &schoolCode,
                                              int32_t classId);

    static StudentStateServiceResponse processGetStuStatesResponse(const HsCallResult &result);
    static StudentStateServiceResponse processPostStuStatesResponse(const HsCallResult &result);
};
