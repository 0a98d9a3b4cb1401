#pragma once

#include "documents/DocumentForm.h"
#include "documents/HomeWorkItem.h"

#include <vector>

// Reads the homework list: one "HomeWork" element per entry.
class GetHomeWorksParser : public ListDocumentParser<HomeWorkItem>
{
public:
    GetHomeWorksParser();
    ~GetHomeWorksParser() override;

    const std::vector<HomeWorkItem> &homeWorks() const { return items(); }
};
