#pragma once

#include <cstdint>
#include <string>

#include "HsServiceCall.h"
#include "ResourceServiceResponse.h"

// The catalogue of local resources: categories, lists, search, one entry.
// Every operation blocks the calling thread until the answer has been processed.
class ResourceService
{
public:
    ResourceServiceResponse<ResourceItem> GetResources(const std::string &typeCode, int32_t page);
    ResourceServiceResponse<ResourceItem> SearchResources(const std::string &keyword, int32_t page);
    ResourceServiceResponse<ResourceItem> GetTopResource(int32_t page);
    ResourceServiceResponse<ResourceItem> GetResource(int32_t resourceId);
    ResourceServiceResponse<ResourceTypeItem> GetResourceTypes();

    static ResourceServiceResponse<ResourceItem> processGetResourcesResponse(const HsCallResult &result);
    static ResourceServiceResponse<ResourceItem> processGetResourceResponse(const HsCallResult &result);
    static ResourceServiceResponse<ResourceTypeItem> processGetResourceTypesResponse(const HsCallResult &result);
};
