#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>
#include <vector>

// One document parser that the command line can run: its name and how to run it over a
// document and print what it read (code, error and its payload under the accessor's name), or
// nothing when the document is not well-formed.
struct CliParser
{
    const char *name;
    std::function<std::optional<nlohmann::ordered_json>(std::string_view document)> parse;
};

const std::vector<CliParser> &cliParsers();
const CliParser *cliFindParser(std::string_view name);
