#pragma once

#include "LoopbackHttpServer.h"
#include "SoapEnvelopes.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A school service on a loopback port for the application's tests. It answers only while the
// thread that made it runs its event loop, so a screen that called the service on the interface
// thread would never get its answer. Each call gets the result document its responder gives (or
// the one set for its method); calls picked to be held wait, with the answer due when they came,
// until the test releases them.
class EventLoopSoapServer : public LoopbackHttpServer
{
public:
    using Responder = std::function<QString(const SentCall &)>;
    using CallFilter = std::function<bool(const SentCall &)>;

    // Answers every call with one result document.
    explicit EventLoopSoapServer(const QString &resultDocument);
    explicit EventLoopSoapServer(Responder responder);

    std::string url() const;

    // Answers the calls of one method with a document of their own instead.
    void answerMethod(const std::string &method, const QString &resultDocument);

    // Holds the answers of the calls that `which` picks from now on, until released.
    void holdAnswers(CallFilter which = everyCall);
    // Sends the held answers to the clients still waiting, and holds no more.
    void releaseHeldAnswers();
    int held() const { return static_cast<int>(m_held.size()); }

    static bool everyCall(const SentCall &) { return true; }
    static CallFilter callsTo(const std::string &method);
    // The next `count` calls of `method`.
    static CallFilter nextCallsTo(const std::string &method, int count);

    const std::vector<SentCall> &calls() const { return m_calls; }
    int callCount() const { return static_cast<int>(m_calls.size()); }
    int callsOf(const std::string &method) const;
    SentCall lastCall() const { return m_calls.empty() ? SentCall{} : m_calls.back(); }

private:
    void serve(QTcpSocket *socket, const QString &path, const QByteArray &body) override;

    Responder m_responder;
    QMap<std::string, QString> m_methodAnswers;
    CallFilter m_holding;
    QList<std::pair<QPointer<QTcpSocket>, QByteArray>> m_held;
    std::vector<SentCall> m_calls;
};
