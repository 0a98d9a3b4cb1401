#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "UploadAvatarResponse.h"

// Uploading a user's picture (base64 text).
// Every operation blocks the calling thread until the answer has been processed.
class UploadAvatarService
{
public:
    UploadAvatarResponse UploadTeacherAvatar(int32_t first, const std::string &image);
    UploadAvatarResponse UploadStudentAvatar(int32_t first, const std::string &image);

    static UploadAvatarResponse processUploadTeacherAvatarResponse(const HsCallResult &result);
    static UploadAvatarResponse processUploadStudentAvatarResponse(const HsCallResult &result);
};
