#pragma once

#include <vector>

#include "HsServiceResponse.h"
#include "documents/SubjectItem.h"
#include "documents/TestScoreItem.h"

// Items are SubjectItem (the subjects tested) or TestScoreItem (scores), by operation.
template <typename Item>
struct TestScoreServiceResponse : HsServiceResponse
{
    std::vector<Item> items;
};
