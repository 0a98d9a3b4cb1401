#pragma once

#include "documents/DocumentForm.h"
#include "documents/StudentStateItem.h"

#include <vector>

// Reads the daily state reports about a student: one "State" element per report.
class GetStatesParser : public ListDocumentParser<StudentStateItem>
{
public:
    GetStatesParser();
    ~GetStatesParser() override;

    const std::vector<StudentStateItem> &states() const { return items(); }
};
