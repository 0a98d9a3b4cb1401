#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

enum class CliArgumentKind
{
    Text,
    Integer
};

struct CliArgument
{
    const char *name;
    CliArgumentKind kind;
};

// The arguments of one call, already checked against the operation's argument kinds.
class CliCallArguments
{
public:
    explicit CliCallArguments(std::vector<std::string> values) : m_values(std::move(values)) {}

    const std::string &text(size_t index) const { return m_values.at(index); }
    int32_t integer(size_t index) const;

private:
    std::vector<std::string> m_values;
};

// One service operation that the command line can call: its name, its own arguments and how to
// call it and print its response record.
struct CliOperation
{
    const char *name;
    std::vector<CliArgument> arguments;
    std::function<nlohmann::ordered_json(const CliCallArguments &)> invoke;
};

const std::vector<CliOperation> &cliOperations();
const CliOperation *cliFindOperation(const std::string &name);

// A decimal 32-bit integer covering the whole text, or nothing.
std::optional<int32_t> cliParseInteger(const std::string &text);

// Why the values do not fit the operation, or nothing when they do.
std::optional<std::string> cliArgumentProblem(const CliOperation &operation,
                                              const std::vector<std::string> &values);

// "name1 name2 ..." of the operation's arguments, for help and error lines.
std::string cliArgumentSynopsis(const CliOperation &operation);
