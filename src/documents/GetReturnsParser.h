#pragma once

#include "documents/DocumentForm.h"
#include "documents/ReturnItem.h"

#include <vector>

// Reads the replies to a notice: one "return" element per reply.
class GetReturnsParser : public ListDocumentParser<ReturnItem>
{
public:
    GetReturnsParser();
    ~GetReturnsParser() override;

    const std::vector<ReturnItem> &returns() const { return items(); }
};
