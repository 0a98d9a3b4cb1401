#pragma once

#include <optional>

#include "HsServiceResponse.h"
#include "documents/LoginResultItem.h"

// `item` is the signed-in user; absent when the call got no usable answer.
struct LoginServiceResponse : HsServiceResponse
{
    std::optional<LoginResultItem> item;
};
