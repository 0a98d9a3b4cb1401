#pragma once

#include "documents/DocumentForm.h"

// Reads the answer to an operation that creates or changes something: "Code" and "Error" only.
class ResultParser : public CapturingParser
{
public:
    ResultParser() = default;
    ~ResultParser() override;

    void startElement(std::string_view name) override;
    void endElement(std::string_view name) override;
};
