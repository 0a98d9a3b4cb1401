#pragma once

#include <optional>
#include <string>
#include <vector>

// The outcome of one call: the result text (absent without one) and whether the call got a
// usable answer at all.
struct HsCallResult
{
    std::optional<std::string> text;
    bool answered = false;
};

// Runs one service call the way every operation does: "qovel" and "zantre" first, then the
// operation's own arguments, one HsServiceExecOperation on a private queue of width 1, and the
// calling thread blocked until it has finished.
HsCallResult hsCallService(const std::string &soapMethod, const std::vector<std::string> &ownArguments);
