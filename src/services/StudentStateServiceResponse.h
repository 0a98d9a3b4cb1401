#pragma once

#include <vector>

#include "HsServiceResponse.h"
#include "documents/StudentStateItem.h"

struct StudentStateServiceResponse : HsServiceResponse
{
    std::vector<StudentStateItem> items;
};
