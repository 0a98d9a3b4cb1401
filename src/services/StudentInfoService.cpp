#include "StudentInfoService.h"

#include "HsResponseProcessing.h"
#include "documents/GetMyTeacherParser.h"
#include "documents/GetStudentsParser.h"
#include "documents/ResultParser.h"

StudentInfoResponse StudentInfoService::ModifyStdInfo(int32_t value)
{
    return processModifyStdInfoResponse(hsCallService("setStudentInfo", {std::to_string(value)}));
}

StudentInfoResponse StudentInfoService::ModifyPass(const std::string &userName,
                                                   const std::string &oldPassword,
                                                   const std::string &newPassword, int32_t fourth)
{
    return processModifyPassResponse(
        hsCallService("changePassword", {userName, oldPassword, newPassword, std::to_string(fourth)}));
}

StudentInfoResponse StudentInfoService::GetMySchoolMates(int32_t classId)
{
    return processGetSchoolMatesResponse(hsCallService("getStudents", {std::to_string(classId)}));
}

StudentInfoResponse StudentInfoService::GetMyTeachers(int32_t classId)
{
    return processGetMyTeachersResponse(hsCallService("getTeachers", {std::to_string(classId)}));
}

StudentInfoResponse StudentInfoService::processModifyStdInfoResponse(const HsCallResult &result)
{
    return hsProcessResult<StudentInfoResponse, ResultParser>(result, hsResultLine::postModifyStudent,
                                                              hsNoPayload);
}

StudentInfoResponse StudentInfoService::processModifyPassResponse(const HsCallResult &result)
{
    return hsProcessResult<StudentInfoResponse, ResultParser>(result, hsResultLine::postModifyStudent,
                                                              hsNoPayload);
}

StudentInfoResponse StudentInfoService::processGetSchoolMatesResponse(const HsCallResult &result)
{
    return hsProcessResult<StudentInfoResponse, GetStudentsParser>(
        result, hsResultLine::postModifyStudent,
        [](GetStudentsParser &parser, StudentInfoResponse &response) {
            response.students = parser.takeItems();
        });
}

StudentInfoResponse StudentInfoService::processGetMyTeachersResponse(const HsCallResult &result)
{
    return hsProcessResult<StudentInfoResponse, GetMyTeacherParser>(
        result, hsResultLine::postModifyStudent,
        [](GetMyTeacherParser &parser, StudentInfoResponse &response) {
            response.teachers = parser.takeItems();
        });
}
