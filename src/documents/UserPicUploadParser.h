#pragma once

#include "documents/DocumentForm.h"
#include "documents/UploadedPicture.h"

#include <optional>
#include <string>

// Reads the answer to a teacher's or student's picture upload: the text of "Image".
class UserPicUploadParser : public SingleRecordParser<UploadedPicture>
{
public:
    UserPicUploadParser();
    ~UserPicUploadParser() override;

    const std::optional<std::string> &image() const { return record().image; }
};
