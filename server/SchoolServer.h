#pragma once

#include "Database.h"
#include "HttpService.h"
#include "SignInThrottle.h"

#include <memory>
#include <string>

struct ServerOptions
{
    std::string host = "127.0.0.1";
    int port = 8080; // 0 picks a free port
    std::string databasePath;
    bool seed = false;            // replace everything with a fresh demo school
    std::string picturesDir;      // served below /images/
    std::string serviceNamespace; // used when a request's operation element has none
    bool quiet = false;           // no access log line per request
    HttpLimits limits;
};

// What one POST to the service answers.
struct SoapReply
{
    int status = 200;
    std::string body;
    std::string operation; // for the access log; empty when the request named none we know
};

// The school service over HTTP: SOAP calls at /school/services/schoolSvc, its WSDL at
// ?wsdl, pictures below /images/. Opens (and if needed creates and seeds) the database.
class SchoolServer
{
public:
    explicit SchoolServer(ServerOptions options);

    // Binds the listening socket; answers the port actually bound, or -1.
    int bind();
    // Serves until stop() is called from another thread; answers in flight are finished.
    bool run();
    // Ends run() once it is serving; isRunning() tells whether it has started.
    void stop();
    bool isRunning() const { return http_.isRunning(); }

    // Runs one SOAP call; the part of the server that does not depend on HTTP.
    SoapReply dispatch(const std::string &body, const std::string &baseUrl,
                       const std::string &peerAddress = {});

private:
    void prepareDatabase();
    HttpReply route(const HttpRequest &request);
    HttpReply answerSoap(const HttpRequest &request);
    HttpReply answerWsdl(const HttpRequest &request);
    HttpReply answerUpload(const HttpRequest &request, std::string_view name);
    std::string baseUrlOf(const HttpRequest &request) const;

    ServerOptions options_;
    ConnectionPool pool_;
    SignInThrottle signIns_;
    HttpService http_;
    int boundPort_ = -1;
};

inline constexpr const char *kServicePath = "/school/services/schoolSvc";
