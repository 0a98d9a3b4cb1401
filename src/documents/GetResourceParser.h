#pragma once

#include "documents/DocumentForm.h"
#include "documents/ResourceItem.h"

// Reads one whole resource with picture, text, contact data and position; fields anywhere
// in the document.
class GetResourceParser : public SingleRecordParser<ResourceItem>
{
public:
    GetResourceParser();
    ~GetResourceParser() override;

    // Made with default values together with the parser, so there is always one.
    const ResourceItem &item() const { return record(); }
};
