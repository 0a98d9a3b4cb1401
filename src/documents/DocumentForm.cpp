#include "documents/DocumentForm.h"

void CapturingParser::characters(std::string_view text)
{
    if (!capturing_)
        return;
    captured_.append(text);
    hasText_ = true;
}

void CapturingParser::startCapture()
{
    captured_.clear();
    hasText_ = false;
    capturing_ = true;
}

void CapturingParser::storeResultElement(std::string_view name)
{
    if (name == "Code")
        setCode(hsIntegerValue(capturedText()));
    else
        setError(hsTextValue(capturedText()));
}
