#include "NewsService.h"

#include "HsResponseProcessing.h"
#include "documents/GetNewsByIdParser.h"
#include "documents/GetNewsesParser.h"
#include "documents/GetReturnsParser.h"
#include "documents/NewsTypeParser.h"
#include "documents/ResultParser.h"

NewsServiceResponse<NewsItem> NewsService::GetNews(const std::string &schoolCode, int32_t classId,
                                                   const std::string &typeCode, int32_t page)
{
    return processGetNewsResponse(hsCallService(
        "getNews", {schoolCode, std::to_string(classId), typeCode, std::to_string(page), "20"}));
}

NewsServiceResponse<NewsItem> NewsService::GetTheNews(int32_t newsId)
{
    return processGetTheNewsResponse(hsCallService("getNewsById", {std::to_string(newsId)}));
}

NewsServiceResponse<NewsTypeItem> NewsService::GetNewsTypes()
{
    return processGetNewsTypesResponse(hsCallService("getNewsTypes", {}));
}

NewsServiceResponse<NewsItem> NewsService::PostReturn(int32_t first, const std::string &text, int32_t third,
                                                      int32_t fourth)
{
    return processPostReturnResponse(hsCallService(
        "createReturn", {std::to_string(first), text, std::to_string(third), std::to_string(fourth)}));
}

NewsServiceResponse<ReturnItem> NewsService::GetReturns(int32_t first, int32_t second, int32_t third)
{
    return processGetReturnsResponse(hsCallService(
        "getReturns", {std::to_string(first), std::to_string(second), std::to_string(third), "20"}));
}

NewsServiceResponse<NewsItem> NewsService::processGetNewsResponse(const HsCallResult &result)
{
    using Response = NewsServiceResponse<NewsItem>;
    return hsProcessResult<Response, GetNewsesParser>(
        result, hsResultLine::getNewses, [](GetNewsesParser &parser, Response &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}

NewsServiceResponse<NewsItem> NewsService::processGetTheNewsResponse(const HsCallResult &result)
{
    using Response = NewsServiceResponse<NewsItem>;
    return hsProcessResult<Response, GetNewsByIdParser>(
        result, hsResultLine::getNewses,
        [](GetNewsByIdParser &parser, Response &response) { response.item = parser.takeRecord(); });
}

NewsServiceResponse<NewsTypeItem> NewsService::processGetNewsTypesResponse(const HsCallResult &result)
{
    using Response = NewsServiceResponse<NewsTypeItem>;
    return hsProcessResult<Response, NewsTypeParser>(result, hsResultLine::getHomework,
                                                     [](NewsTypeParser &parser, Response &response) {
                                                         hsTakeIfNotEmpty(parser.takeItems(), response.items);
                                                     });
}

NewsServiceResponse<NewsItem> NewsService::processPostReturnResponse(const HsCallResult &result)
{
    return hsProcessResult<NewsServiceResponse<NewsItem>, ResultParser>(result, hsResultLine::postReturn,
                                                                        hsNoPayload);
}

NewsServiceResponse<ReturnItem> NewsService::processGetReturnsResponse(const HsCallResult &result)
{
    using Response = NewsServiceResponse<ReturnItem>;
    return hsProcessResult<Response, GetReturnsParser>(
        result, hsResultLine::postReturn, [](GetReturnsParser &parser, Response &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}
