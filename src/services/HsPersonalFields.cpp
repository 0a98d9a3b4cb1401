#include "HsPersonalFields.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 9> kPersonalElements = {
    "RealName",   "Address",    "UrgentPhone", "MotherName", "MotherPhone",
    "MotherWork", "FatherName", "FatherPhone", "FatherWork",
};

constexpr std::string_view kMask = "******";

// The personal element whose start tag begins at `open`, or an empty name.
std::string_view personalElementAt(std::string_view document, size_t open)
{
    for (const std::string_view name : kPersonalElements) {
        const size_t after = open + 1 + name.size();
        if (document.substr(open + 1, name.size()) == name && after < document.size() &&
            (document[after] == '>' || document[after] == ' '))
            return name;
    }
    return {};
}

} // namespace

std::string hsWithPersonalFieldsMasked(std::string_view document)
{
    std::string shown;
    shown.reserve(document.size());
    size_t copied = 0;
    for (size_t open = document.find('<'); open != std::string_view::npos;
         open = document.find('<', open + 1)) {
        const std::string_view name = personalElementAt(document, open);
        const size_t textStart = name.empty() ? std::string_view::npos : document.find('>', open);
        if (textStart == std::string_view::npos || document[textStart - 1] == '/')
            continue;
        const std::string closing = "</" + std::string(name) + ">";
        const size_t textEnd = document.find(closing, textStart);
        if (textEnd == std::string_view::npos)
            break;
        shown.append(document.substr(copied, textStart + 1 - copied));
        if (textEnd > textStart + 1)
            shown.append(kMask);
        copied = textEnd;
        open = textEnd;
    }
    shown.append(document.substr(copied));
    return shown;
}
