#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "LoginServiceResponse.h"

// Signing in as a teacher or as a parent for one student.
// Every operation blocks the calling thread until the answer has been processed.
class LoginService
{
public:
    LoginServiceResponse LoginTeacher(const std::string &userName, const std::string &password);
    LoginServiceResponse LoginStudent(const std::string &userName, const std::string &password);

    static LoginServiceResponse processLoginTeacherResponse(const HsCallResult &result);
    static LoginServiceResponse processLoginStudentResponse(const HsCallResult &result);
};
