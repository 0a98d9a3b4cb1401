#include "CliOperations.h"
#include "CliParsers.h"
#include "services/HsServiceLink.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

// Exit statuses of a call: the service accepted it, refused it (a non-zero code), or gave no
// usable answer; a document to parse that is not well-formed counts as no usable answer. Wrong
// usage has its own status.
constexpr int acceptedExitCode = 0;
constexpr int refusedExitCode = 1;
constexpr int usageExitCode = 2;
constexpr int unansweredExitCode = 3;

// The argument that stands for one line of standard input, so a password need not appear on
// the command line.
const std::string fromStandardInput = "-";

int usageError(const std::string &problem)
{
    std::cerr << "hsschool-cli: " << problem << '\n';
    return usageExitCode;
}

void printJson(const nlohmann::ordered_json &value)
{
    std::cout << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

std::string operationsHelp()
{
    std::string help = "Operations:\n";
    for (const CliOperation &operation : cliOperations()) {
        const std::string synopsis = cliArgumentSynopsis(operation);
        help += "  " + std::string(operation.name) + (synopsis.empty() ? "" : " " + synopsis) + "\n";
    }
    help += "An argument given as - is read as one line of standard input.\n"
            "Exit status of call: 0 accepted, 1 refused by the service, 3 no usable answer, 2 wrong usage.\n"
            "Exit status of parse: 0 read, 3 not a well-formed document, 2 wrong usage.\n";
    help += "Parsers:\n ";
    for (const CliParser &parser : cliParsers())
        help += " " + std::string(parser.name);
    return help + "\n";
}

// Replaces every "-" by the next line of standard input, without its line end. False when
// standard input has no line left for one of them.
bool readArgumentsFromStandardInput(std::vector<std::string> &values)
{
    for (std::string &value : values) {
        if (value != fromStandardInput)
            continue;
        if (!std::getline(std::cin, value))
            return false;
        if (!value.empty() && value.back() == '\r')
            value.pop_back();
    }
    return true;
}

int runCall(const std::string &operationName, std::vector<std::string> values)
{
    const CliOperation *operation = cliFindOperation(operationName);
    if (!operation)
        return usageError("unknown operation '" + operationName + "'");
    if (!readArgumentsFromStandardInput(values))
        return usageError("standard input ended before a line for every '-' argument");
    if (auto problem = cliArgumentProblem(*operation, values))
        return usageError(*problem);
    const nlohmann::ordered_json record = operation->invoke(CliCallArguments(values));
    printJson(record);
    if (!record.value("answered", false))
        return unansweredExitCode;
    return record.value("code", 0) == 0 ? acceptedExitCode : refusedExitCode;
}

int runParse(const std::string &parserName)
{
    const CliParser *parser = cliFindParser(parserName);
    if (!parser)
        return usageError("unknown parser '" + parserName + "'");
    const std::string document{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const std::optional<nlohmann::ordered_json> record = parser->parse(document);
    if (!record) {
        std::cerr << "hsschool-cli: the document is not well-formed XML\n";
        return unansweredExitCode;
    }
    printJson(*record);
    return acceptedExitCode;
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"Calls the school service or reads its result documents; prints records as JSON.",
                 "hsschool-cli"};
    app.footer(operationsHelp());
    app.require_subcommand(1);

    std::string endpoint;
    app.add_option("--endpoint", endpoint, "service endpoint URL")->type_name("URL");

    std::string operationName;
    std::vector<std::string> values;
    CLI::App *call = app.add_subcommand("call", "call one service operation and print its response record");
    call->add_option("operation", operationName, "operation name, e.g. GetNews")->required();
    call->add_option("arguments", values,
                     "the operation's own arguments; \"-\" reads one line of standard input");
    call->positionals_at_end();

    std::string parserName;
    CLI::App *parse =
        app.add_subcommand("parse", "read a result document from standard input and print it parsed");
    parse->add_option("parser", parserName, "parser name, e.g. GetNewsesParser")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success &help) {
        return app.exit(help);
    } catch (const CLI::ParseError &error) {
        return usageError(error.what());
    }

    if (!endpoint.empty())
        HsServiceLink::setEndpoint(endpoint);
    if (*call)
        return runCall(operationName, values);
    return runParse(parserName);
}
