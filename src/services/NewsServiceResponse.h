#pragma once

#include <optional>
#include <vector>

#include "HsServiceResponse.h"
#include "documents/NewsItem.h"
#include "documents/NewsTypeItem.h"
#include "documents/ReturnItem.h"

// Items are NewsItem (headlines), NewsTypeItem (categories) or ReturnItem (replies), by
// operation; `item` is the one news item of GetTheNews, absent without a usable answer.
template <typename Item = NewsItem>
struct NewsServiceResponse : HsServiceResponse
{
    std::vector<Item> items;
    std::optional<NewsItem> item;
};
