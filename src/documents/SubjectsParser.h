#pragma once

#include "documents/DocumentForm.h"
#include "documents/SubjectItem.h"

#include <vector>

// Reads the tested subjects: one "Subject" element per subject.
class SubjectsParser : public ListDocumentParser<SubjectItem>
{
public:
    SubjectsParser();
    ~SubjectsParser() override;

    const std::vector<SubjectItem> &subjects() const { return items(); }
};
