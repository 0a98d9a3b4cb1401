#include "SchoolServer.h"

#include "Handlers.h"
#include "LogText.h"
#include "PictureReplies.h"
#include "Schema.h"
#include "Seed.h"
#include "SoapMessage.h"
#include "Wsdl.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

constexpr const char *kXmlType = "text/xml; charset=utf-8";
constexpr std::string_view kPicturesPrefix = "/images/";
constexpr std::string_view kUploadsPrefix = "/images/uploads/";

// Calls come as SOAP 1.1 (text/xml) or SOAP 1.2 (application/soap+xml). A form or a plain text
// that a web page in a user's browser may post to any address without asking is not a call.
bool isSoapMediaType(std::optional<std::string_view> contentType)
{
    if (!contentType)
        return false;
    std::string type(contentType->substr(0, contentType->find(';')));
    type.erase(std::remove_if(type.begin(), type.end(), [](unsigned char c) { return std::isspace(c); }),
               type.end());
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
    return type == "text/xml" || type == "application/soap+xml";
}

HttpReply xmlReply(int status, std::string body, std::string operation = {})
{
    return HttpReply{status, kXmlType, std::move(body), {}, {}, std::move(operation)};
}

SoapReply fault(int status, std::string_view code, std::string_view message, std::string operation = {})
{
    return SoapReply{status, soapFault(code, message), std::move(operation)};
}

bool carriesAccessKey(const SoapRequest &request)
{
    return request.arguments.size() >= 2 && request.arguments[0] == kAccessKeyFirst &&
           request.arguments[1] == kAccessKeySecond;
}

std::vector<std::string> ownArguments(const SoapRequest &request)
{
    if (request.arguments.size() <= 2)
        return {};
    return std::vector<std::string>(request.arguments.begin() + 2, request.arguments.end());
}

} // namespace

SchoolServer::SchoolServer(ServerOptions options)
    : options_(std::move(options)), pool_(options_.databasePath),
      http_([this](const HttpRequest &request) { return route(request); }, options_.limits, !options_.quiet)
{
    prepareDatabase();
}

void SchoolServer::prepareDatabase()
{
    auto db = pool_.acquire();
    WriteTransaction tx(*db);
    createSchema(*db);
    if (options_.seed || schoolIsMissing(*db))
        seedDemoSchool(*db);
    tx.commit();
}

int SchoolServer::bind()
{
    boundPort_ = http_.bind(options_.host, options_.port);
    return boundPort_;
}

bool SchoolServer::run()
{
    return http_.run();
}

void SchoolServer::stop()
{
    http_.stop();
}

HttpReply SchoolServer::route(const HttpRequest &request)
{
    const std::string_view path = request.path();
    const bool get = request.method() == "GET" || request.method() == "HEAD";
    if (path == kServicePath && request.method() == "POST")
        return answerSoap(request);
    if (path == kServicePath && get)
        return answerWsdl(request);
    if (get && path.substr(0, kUploadsPrefix.size()) == kUploadsPrefix)
        return answerUpload(request, path.substr(kUploadsPrefix.size()));
    if (get && path.substr(0, kPicturesPrefix.size()) == kPicturesPrefix)
        return pictureFileReply(options_.picturesDir, path.substr(kPicturesPrefix.size()),
                                request.header("Range"));
    return notFound();
}

std::string SchoolServer::baseUrlOf(const HttpRequest &request) const
{
    const auto host = request.header("Host");
    if (host && !host->empty())
        return "http://" + std::string(*host);
    return "http://" + options_.host + ":" + std::to_string(boundPort_);
}

SoapReply SchoolServer::dispatch(const std::string &body, const std::string &baseUrl,
                                 const std::string &peerAddress)
{
    SoapReading reading = readSoapRequest(body);
    if (!reading.request)
        return fault(500, "soap:Client", reading.problem);
    SoapRequest &request = *reading.request;
    if (request.namespaceUri.empty())
        request.namespaceUri = options_.serviceNamespace;
    const OperationSpec *op = findOperation(request.method);
    if (op == nullptr)
        return fault(500, "soap:Client", "unknown operation " + request.method, request.method);
    if (!carriesAccessKey(request))
        return SoapReply{200, soapResponse(request, refuse(refusal::kWrongAccessKey, "访问口令错误")),
                         request.method};
    try {
        auto db = pool_.acquire();
        const Arguments args(op->arguments, ownArguments(request));
        if (args.overlong())
            return SoapReply{200, soapResponse(request, refuse(refusal::kBadArgument, "内容过长")),
                             request.method};
        Call call{*db, args, baseUrl, peerAddress, signIns_};
        return SoapReply{200, soapResponse(request, op->handler(call)), request.method};
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s failed: %s\n", printableForLog(request.method).c_str(),
                     printableForLog(e.what()).c_str());
        return fault(500, "soap:Server", "the service could not complete the call", request.method);
    }
}

HttpReply SchoolServer::answerSoap(const HttpRequest &request)
{
    if (!isSoapMediaType(request.header("Content-Type")))
        return xmlReply(415,
                        soapFault("soap:Client", "a call must be sent as text/xml or application/soap+xml"));
    SoapReply reply = dispatch(request.body(), baseUrlOf(request), request.peerAddress());
    return xmlReply(reply.status, std::move(reply.body), std::move(reply.operation));
}

HttpReply SchoolServer::answerWsdl(const HttpRequest &request)
{
    if (!request.hasQueryKey("wsdl") && !request.hasQueryKey("WSDL"))
        return notFound();
    return xmlReply(200, describeService(options_.serviceNamespace, baseUrlOf(request) + kServicePath),
                    "wsdl");
}

// "<id>.png" or "<id>.jpg": a picture that a user uploaded, from the database.
HttpReply SchoolServer::answerUpload(const HttpRequest &request, std::string_view name)
{
    const size_t dot = name.find('.');
    int64_t id = 0;
    const std::string_view number = name.substr(0, dot);
    if (dot == std::string_view::npos ||
        std::from_chars(number.data(), number.data() + number.size(), id).ec != std::errc() ||
        number.find_first_not_of("0123456789") != std::string_view::npos)
        return notFound();
    const std::string_view extension = name.substr(dot + 1);
    if (extension != "png" && extension != "jpg")
        return notFound();
    auto db = pool_.acquire();
    Statement stmt = db->prepare("SELECT content_type, bytes FROM uploads WHERE id = ?");
    stmt.bindAll(id);
    if (!stmt.step() || stmt.text(0) != (extension == "png" ? "image/png" : "image/jpeg"))
        return notFound();
    const Blob bytes = stmt.blob(1);
    return pictureBytesReply(std::string(bytes.begin(), bytes.end()), stmt.text(0), request.header("Range"));
}
