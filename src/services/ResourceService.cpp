#include "ResourceService.h"

#include "HsResponseProcessing.h"
#include "documents/GetResourceParser.h"
#include "documents/GetResourcesParser.h"
#include "documents/ResourceTypeParser.h"

ResourceServiceResponse<ResourceItem> ResourceService::GetResources(const std::string &typeCode, int32_t page)
{
    return processGetResourcesResponse(hsCallService("getResources", {typeCode, std::to_string(page), "20"}));
}

ResourceServiceResponse<ResourceItem> ResourceService::SearchResources(const std::string &keyword,
                                                                       int32_t page)
{
    return processGetResourcesResponse(
        hsCallService("SearchResource", {keyword, std::to_string(page), "20"}));
}

ResourceServiceResponse<ResourceItem> ResourceService::GetTopResource(int32_t page)
{
    return processGetResourcesResponse(hsCallService("getPhotoResources", {std::to_string(page), "20"}));
}

ResourceServiceResponse<ResourceItem> ResourceService::GetResource(int32_t resourceId)
{
    return processGetResourceResponse(hsCallService("getResource", {std::to_string(resourceId)}));
}

ResourceServiceResponse<ResourceTypeItem> ResourceService::GetResourceTypes()
{
    return processGetResourceTypesResponse(hsCallService("getResourceTypes", {}));
}

ResourceServiceResponse<ResourceItem> ResourceService::processGetResourcesResponse(const HsCallResult &result)
{
    using Response = ResourceServiceResponse<ResourceItem>;
    return hsProcessResult<Response, GetResourcesParser>(
        result, hsResultLine::postReturn, [](GetResourcesParser &parser, Response &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}

ResourceServiceResponse<ResourceItem> ResourceService::processGetResourceResponse(const HsCallResult &result)
{
    using Response = ResourceServiceResponse<ResourceItem>;
    return hsProcessResult<Response, GetResourceParser>(
        result, hsResultLine::postReturn,
        [](GetResourceParser &parser, Response &response) { response.item = parser.takeRecord(); });
}

ResourceServiceResponse<ResourceTypeItem>
ResourceService::processGetResourceTypesResponse(const HsCallResult &result)
{
    using Response = ResourceServiceResponse<ResourceTypeItem>;
    return hsProcessResult<Response, ResourceTypeParser>(
        result, hsResultLine::getHomework, [](ResourceTypeParser &parser, Response &response) {
            hsTakeIfNotEmpty(parser.takeItems(), response.items);
        });
}
