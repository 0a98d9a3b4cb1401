#pragma once

#include "Database.h"
#include "SignInThrottle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What an argument carries. All travel as text; integers in decimal. Passwords are never
// written to any log.
enum class ArgumentKind
{
    Text,
    Integer,
    Password,
    Picture, // a picture's bytes in base64
};

struct ArgumentSpec
{
    std::string_view name;
    ArgumentKind kind;
};

// An operation's own arguments (those after in0 and in1), read by name.
class Arguments
{
public:
    Arguments(const std::vector<ArgumentSpec> &specs, std::vector<std::string> values);

    const std::string &text(std::string_view name) const;
    // The first argument longer than its kind allows (a text of a few pages, a number of a few
    // digits), or nothing; a call that carries one is refused before its handler runs.
    std::optional<std::string_view> overlong() const;
    // Leading blanks and a sign are allowed; anything that is not a number reads as 0.
    int64_t integer(std::string_view name) const;

private:
    const std::vector<ArgumentSpec> &specs_;
    std::vector<std::string> values_;
};

// Everything a handler may use for one call.
struct Call
{
    Connection &db;
    const Arguments &args;
    // "http://host:port" as the client reached the server; picture addresses start with it.
    const std::string &baseUrl;
    // The caller's network address as the server saw it ("127.0.0.1"); empty when unknown.
    const std::string &peerAddress;
    // The count of failed password checks, kept in the database and shared by every sign-in and
    // password change of every service process.
    SignInThrottle &signIns;
};

// A handler answers the call's result document, already escaped as the text of the answer's
// ns1:out element (the form ResultDocument writes).
using Handler = std::string (*)(Call &call);

struct OperationSpec
{
    std::string_view method;
    std::vector<ArgumentSpec> arguments;
    Handler handler;
    std::string_view summary;
};

// Every operation of the service, in one table: the call dispatcher and the service
// description are both made from it.
const std::vector<OperationSpec> &operationTable();
const OperationSpec *findOperation(std::string_view method);

// The two constant texts every request carries as in0 and in1.
inline constexpr std::string_view kAccessKeyFirst = "qovel";
inline constexpr std::string_view kAccessKeySecond = "zantre";
