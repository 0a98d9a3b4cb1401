#pragma once

#include <vector>

#include "HsServiceResponse.h"
#include "documents/HomeWorkItem.h"

struct HomeWorkServiceResponse : HsServiceResponse
{
    std::vector<HomeWorkItem> items;
};
