#include "EventLoopSoapServer.h"

#include <algorithm>
#include <memory>

EventLoopSoapServer::EventLoopSoapServer(const QString &resultDocument)
    : EventLoopSoapServer([resultDocument](const SentCall &) { return resultDocument; })
{}

EventLoopSoapServer::EventLoopSoapServer(Responder responder) : m_responder(std::move(responder)) {}

std::string EventLoopSoapServer::url() const
{
    return LoopbackHttpServer::url(QStringLiteral("/school/services/schoolSvc")).toStdString();
}

void EventLoopSoapServer::answerMethod(const std::string &method, const QString &resultDocument)
{
    m_methodAnswers.insert(method, resultDocument);
}

void EventLoopSoapServer::holdAnswers(CallFilter which)
{
    m_holding = std::move(which);
}

void EventLoopSoapServer::releaseHeldAnswers()
{
    m_holding = nullptr;
    for (const auto &[socket, answer] : std::exchange(m_held, {}))
        if (socket)
            reply(socket, 200, "text/xml; charset=utf-8", answer);
}

EventLoopSoapServer::CallFilter EventLoopSoapServer::callsTo(const std::string &method)
{
    return [method](const SentCall &call) { return call.method == method; };
}

EventLoopSoapServer::CallFilter EventLoopSoapServer::nextCallsTo(const std::string &method, int count)
{
    auto left = std::make_shared<int>(count);
    return [method, left](const SentCall &call) { return call.method == method && (*left)-- > 0; };
}

int EventLoopSoapServer::callsOf(const std::string &method) const
{
    return static_cast<int>(std::count_if(m_calls.begin(), m_calls.end(),
                                          [&](const SentCall &call) { return call.method == method; }));
}

void EventLoopSoapServer::serve(QTcpSocket *socket, const QString &, const QByteArray &body)
{
    const SentCall call = readSentCall(body.toStdString());
    m_calls.push_back(call);
    const auto set = m_methodAnswers.constFind(call.method);
    const QString document = set != m_methodAnswers.cend() ? *set : m_responder(call);
    const QByteArray answer = QByteArray::fromStdString(soapAnswer(call.method, document.toStdString()));
    if (m_holding && m_holding(call))
        m_held.append({socket, answer});
    else
        reply(socket, 200, "text/xml; charset=utf-8", answer);
}
