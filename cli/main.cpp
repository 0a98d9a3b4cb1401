#include "CliOperations.h"
#include "CliParsers.h"
#include "transport/HsServiceConfig.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int usageExitCode = 2;

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
    help += "Parsers:\n ";
    for (const CliParser &parser : cliParsers())
        help += " " + std::string(parser.name);
    return help + "\n";
}

int runCall(const std::string &operationName, const std::vector<std::string> &values)
{
    const CliOperation *operation = cliFindOperation(operationName);
    if (!operation)
        return usageError("unknown operation '" + operationName + "'");
    if (auto problem = cliArgumentProblem(*operation, values))
        return usageError(*problem);
    printJson(operation->invoke(CliCallArguments(values)));
    return 0;
}

int runParse(const std::string &parserName)
{
    const CliParser *parser = cliFindParser(parserName);
    if (!parser)
        return usageError("unknown parser '" + parserName + "'");
    const std::string document{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    printJson(parser->parse(document));
    return 0;
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
    call->add_option("arguments", values, "the operation's own arguments");
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
        HsServiceConfig::setEndpoint(endpoint);
    if (*call)
        return runCall(operationName, values);
    return runParse(parserName);
}
