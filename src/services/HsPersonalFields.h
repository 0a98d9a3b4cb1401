#pragma once

#include <string>
#include <string_view>

// The result document as the diagnostic log may show it: the text of every element that holds a
// person's details (real names, addresses, phone numbers, parents' names and work places)
// replaced by "******", everything else as it was.
std::string hsWithPersonalFieldsMasked(std::string_view document);
