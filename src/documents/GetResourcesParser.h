#pragma once

#include "documents/DocumentForm.h"
#include "documents/ResourceItem.h"

#include <vector>

// Reads a resource list (by category, by search or the photo resources): one "Resource"
// element per row.
class GetResourcesParser : public ListDocumentParser<ResourceItem>
{
public:
    GetResourcesParser();
    ~GetResourcesParser() override;

    const std::vector<ResourceItem> &resources() const { return items(); }
};
