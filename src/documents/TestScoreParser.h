#pragma once

#include "documents/DocumentForm.h"
#include "documents/TestScoreItem.h"

#include <vector>

// Reads the scores of one test: one "Score" element per student.
class TestScoreParser : public ListDocumentParser<TestScoreItem>
{
public:
    TestScoreParser();
    ~TestScoreParser() override;

    const std::vector<TestScoreItem> &scores() const { return items(); }
};
