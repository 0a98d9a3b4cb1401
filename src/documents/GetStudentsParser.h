#pragma once

#include "documents/DocumentForm.h"
#include "documents/StudentItem.h"

#include <vector>

// Reads the students of a class: one "Student" element per student.
class GetStudentsParser : public ListDocumentParser<StudentItem>
{
public:
    GetStudentsParser();
    ~GetStudentsParser() override;

    const std::vector<StudentItem> &students() const { return items(); }
};
