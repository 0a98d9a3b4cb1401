#include "LoginService.h"

#include "HsResponseProcessing.h"
#include "documents/LoginStudentParser.h"
#include "documents/LoginTeacherParser.h"

LoginServiceResponse LoginService::LoginTeacher(const std::string &userName, const std::string &password)
{
    return processLoginTeacherResponse(hsCallService("loginTeacher", {userName, password}));
}

LoginServiceResponse LoginService::LoginStudent(const std::string &userName, const std::string &password)
{
    return processLoginStudentResponse(hsCallService("loginStudent", {userName, password}));
}

LoginServiceResponse LoginService::processLoginTeacherResponse(const HsCallResult &result)
{
    return hsProcessResult<LoginServiceResponse, LoginTeacherParser>(
        result, hsResultLine::postReturn, [](LoginTeacherParser &parser, LoginServiceResponse &response) {
            response.item = parser.takeRecord();
        });
}

LoginServiceResponse LoginService::processLoginStudentResponse(const HsCallResult &result)
{
    return hsProcessResult<LoginServiceResponse, LoginStudentParser>(
        result, hsResultLine::postReturn, [](LoginStudentParser &parser, LoginServiceResponse &response) {
            response.item = parser.takeRecord();
        });
}
