#pragma once

#include <optional>
#include <string>

#include "HsServiceResponse.h"

// `image` is the new address of the uploaded picture.
struct UploadAvatarResponse : HsServiceResponse
{
    std::optional<std::string> image;
};
