#pragma once

#include <QString>
#include <optional>
#include <string>

// The text a label shows for a text from a document: the text itself, empty when absent.
inline QString hsDisplayText(const std::optional<std::string> &text)
{
    return text ? QString::fromStdString(*text) : QString();
}
