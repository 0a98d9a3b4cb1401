#pragma once

#include "documents/DocumentForm.h"
#include "documents/TeacherItem.h"

#include <vector>

// Reads the teachers of a class: one "Teacher" element per teacher.
class GetMyTeacherParser : public ListDocumentParser<TeacherItem>
{
public:
    GetMyTeacherParser();
    ~GetMyTeacherParser() override;

    const std::vector<TeacherItem> &teachers() const { return items(); }
};
