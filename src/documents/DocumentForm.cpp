#include "documents/DocumentForm.h"

void CapturingParser::characters(std::string_view text)
{
    if (!capturing_)
        return;
    if (!hasText_) {
        firstPiece_ = text;
        hasText_ = true;
        return;
    }
    if (!gathered_) {
        captured_.assign(firstPiece_);
        gathered_ = true;
    }
    captured_.append(text);
}

void CapturingParser::startCapture()
{
    hasText_ = false;
    gathered_ = false;
    capturing_ = true;
}

void CapturingParser::storeResultElement(std::string_view name)
{
    if (name == "Code")
        setCode(hsIntegerValue(capturedText()));
    else
        setError(hsTextValue(capturedText()));
}
