#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// What the XML readers accept as characters: UTF-8, the one encoding accepted, holding only the
// characters XML allows.

// Whether the input is in UTF-8: it starts as no UTF-16 or UTF-32, and its XML declaration, if
// any, names no other encoding.
bool hsIsUtf8Xml(std::string_view input);

bool hsIsXmlCharacter(uint32_t c);

// Where the first byte that is not part of a UTF-8 encoded XML character is; npos when there is
// none.
size_t hsFirstBadXmlCharacter(std::string_view input);

inline bool hsIsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
