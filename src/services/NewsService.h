#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "NewsServiceResponse.h"

// School notices and news: categories, headlines, one item, replies.
// Every operation blocks the calling thread until the answer has been processed.
class NewsService
{
public:
    NewsServiceResponse<NewsItem> GetNews(const std::string &schoolCode, int32_t classId, const std::string &typeCode,
                                          int32_t page);
    NewsServiceResponse<NewsItem> GetTheNews(int32_t newsId);
    NewsServiceResponse<NewsTypeItem> GetNewsTypes();
    NewsServiceResponse<NewsItem> PostReturn(int32_t first, const std::string &text, int32_t third, int32_t fourth);
    NewsServiceResponse<ReturnItem> GetReturns(int32_t first, int32_t second, int32_t third);

    static NewsServiceResponse<NewsItem> processGetNewsResponse(const HsCallResult &result);
    static NewsServiceResponse<NewsItem> processGetTheNewsResponse(const HsCallResult &result);
    static NewsServiceResponse<NewsTypeItem> processGetNewsTypesResponse(const HsCallResult &result);
    static NewsServiceResponse<NewsItem> processPostReturnResponse(const HsCallResult &result);
    static NewsServiceResponse<ReturnItem> processGetReturnsResponse(const HsCallResult &result);
};
