#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "StudentInfoResponse.h"

// The student's details, the password, and the people of the class.
// Every operation blocks the calling thread until the answer has been processed.
class StudentInfoService
{
public:
    StudentInfoResponse ModifyStdInfo(int32_t value);
    StudentInfoResponse ModifyPass(const std::string &userName, const std::string &oldPassword,
                                   const std::string &newPassword, int32_t fourth);
    StudentInfoResponse GetMySchoolMates(int32_t classId);
    StudentInfoResponse GetMyTeachers(int32_t classId);

    static StudentInfoResponse processModifyStdInfoResponse(const HsCallResult &result);
    static StudentInfoResponse processModifyPassResponse(const HsCallResult &result);
    static StudentInfoResponse processGetSchoolMatesResponse(const HsCallResult &result);
    static StudentInfoResponse processGetMyTeachersResponse(const HsCallResult &result);
};
