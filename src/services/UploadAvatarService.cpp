#include "UploadAvatarService.h"

#include "HsResponseProcessing.h"
#include "documents/UserPicUploadParser.h"

namespace {

UploadAvatarResponse processAvatarUpload(const HsCallResult &result)
{
    return hsProcessResult<UploadAvatarResponse, UserPicUploadParser>(
        result, hsResultLine::postReturn,
        [](const UserPicUploadParser &parser, UploadAvatarResponse &response) {
            response.image = parser.image();
        });
}

} // namespace

UploadAvatarResponse UploadAvatarService::UploadTeacherAvatar(int32_t first, const std::string &image)
{
    return processUploadTeacherAvatarResponse(
        hsCallService("setTeacherAvatar", {std::to_string(first), image}));
}

UploadAvatarResponse UploadAvatarService::UploadStudentAvatar(int32_t first, const std::string &image)
{
    return processUploadStudentAvatarResponse(
        hsCallService("setStudentAvatar", {std::to_string(first), image}));
}

UploadAvatarResponse UploadAvatarService::processUploadTeacherAvatarResponse(const HsCallResult &result)
{
    return processAvatarUpload(result);
}

UploadAvatarResponse UploadAvatarService::processUploadStudentAvatarResponse(const HsCallResult &result)
{
    return processAvatarUpload(result);
}
