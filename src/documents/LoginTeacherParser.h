#pragma once

#include "documents/DocumentForm.h"
#include "documents/LoginResultItem.h"

// Reads the answer to a teacher's sign-in: the signed-in teacher, fields anywhere in the
// document.
class LoginTeacherParser : public SingleRecordParser<LoginResultItem>
{
public:
    LoginTeacherParser();
    ~LoginTeacherParser() override;

    // Made with default values together with the parser, so there is always one.
    const LoginResultItem &item() const { return record(); }
};
