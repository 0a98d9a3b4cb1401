#pragma once

#include "documents/DocumentForm.h"
#include "documents/ResourceTypeItem.h"

#include <vector>

// Reads the resource categories: one "ResourceType" element per category.
class ResourceTypeParser : public ListDocumentParser<ResourceTypeItem>
{
public:
    ResourceTypeParser();
    ~ResourceTypeParser() override;

    const std::vector<ResourceTypeItem> &types() const { return items(); }
};
