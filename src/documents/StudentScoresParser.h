#pragma once

#include "documents/DocumentForm.h"
#include "documents/TestScoreItem.h"

#include <vector>

// Reads one student's scores: one "Score" element per subject tested.
class StudentScoresParser : public ListDocumentParser<TestScoreItem>
{
public:
    StudentScoresParser();
    ~StudentScoresParser() override;

    const std::vector<TestScoreItem> &scores() const { return items(); }
};
