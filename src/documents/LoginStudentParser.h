#pragma once

#include "documents/DocumentForm.h"
#include "documents/LoginResultItem.h"

// Reads the answer to a parent's sign-in for one student: the student and the family's
// contact data, fields anywhere in the document.
class LoginStudentParser : public SingleRecordParser<LoginResultItem>
{
public:
    LoginStudentParser();
    ~LoginStudentParser() override;

    // Made with default values together with the parser, so there is always one.
    const LoginResultItem &item() const { return record(); }
};
