#pragma once

#include <optional>
#include <vector>

#include "HsServiceResponse.h"
#include "documents/ResourceItem.h"
#include "documents/ResourceTypeItem.h"

// Items are ResourceItem (a resource list) or ResourceTypeItem (categories), by operation;
// `item` is the one resource of GetResource, absent without a usable answer.
template <typename Item = ResourceItem>
struct ResourceServiceResponse : HsServiceResponse
{
    std::vector<Item> items;
    std::optional<ResourceItem> item;
};
