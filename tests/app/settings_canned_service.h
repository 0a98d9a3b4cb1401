#pragma once

#include "LoopbackHttpServer.h"
#include "transport/HsServiceConfig.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QXmlStreamReader>
#include <string>
#include <utility>

// Result documents: a refusal, and an accepting answer that carries nothing.
inline const QString kRefusal = QStringLiteral("<Result><Code>5</Code><Error>拒绝</Error></Result>");
inline const QString kEmptyAnswer = QStringLiteral("<Result><Code>0</Code><Error></Error></Result>");

// A stand-in school service that answers every call with one result document and keeps what each
// request sent. Because it answers only while the thread that made it runs its event loop, a
// screen that called the service on the interface thread would never get its answer.
class CannedService : public LoopbackHttpServer
{
public:
    explicit CannedService(const QString &resultDocument) : m_answer(envelopeAround(resultDocument)) {}

    std::string endpoint() const { return url(QStringLiteral("/school/services/schoolSvc")).toStdString(); }

    int requestCount() const { return static_cast<int>(m_requests.size()); }

    // Answers the calls of one operation (its SOAP method, e.g. "getNewsTypes") with a document
    // of their own instead.
    void answerMethod(const QString &method, const QString &resultDocument)
    {
        m_methodAnswers.insert(method, envelopeAround(resultDocument));
    }

    // Never answers the calls of one operation: they wait, connected, until the caller gives up.
    void stallMethod(const QString &method) { m_methodAnswers.insert(method, QByteArray()); }

    // Holds the answers to the next `calls` calls of one operation for `milliseconds` each: the
    // answer is the one due when the call arrived.
    void holdMethod(const QString &method, int calls, int milliseconds)
    {
        m_holds.insert(method, {calls, milliseconds});
    }

    // Holds every answer from now on until released, so that a call stays in flight for as long
    // as the test needs it to.
    void holdAnswers() { m_holding = true; }
    void releaseHeldAnswers()
    {
        m_holding = false;
        for (const auto &[socket, answer] : std::as_const(m_held)) {
            if (socket)
                answerWith(socket, answer);
        }
        m_held.clear();
    }

    // The texts of in0, in1, ... of the last request, in order.
    QStringList lastArguments() const
    {
        QStringList arguments;
        if (m_requests.isEmpty())
            return arguments;
        static const QRegularExpression argumentName(QStringLiteral("^in[0-9]+$"));
        QXmlStreamReader reader(m_requests.last());
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && argumentName.match(reader.name()).hasMatch())
                arguments << reader.readElementText();
        }
        return arguments;
    }

private:
    static QByteArray envelopeAround(const QString &resultDocument)
    {
        const QString ns = QString::fromStdString(HsServiceConfig::namespaceUri());
        return QStringLiteral(
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                   "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
                   "<ns1:callResponse xmlns:ns1=\"%1\"><ns1:out>%2</ns1:out></ns1:callResponse>"
                   "</soap:Body></soap:Envelope>")
            .arg(ns, resultDocument.toHtmlEscaped())
            .toUtf8();
    }

    void serve(QTcpSocket *socket, const QString &, const QByteArray &body) override
    {
        m_requests << body;
        QByteArray answer = m_answer;
        for (auto method = m_methodAnswers.cbegin(); method != m_methodAnswers.cend(); ++method) {
            if (calls(body, method.key())) {
                answer = method.value();
                break;
            }
        }
        if (answer.isNull())
            return;
        if (m_holding) {
            m_held.append({socket, answer});
            return;
        }
        for (auto hold = m_holds.begin(); hold != m_holds.end(); ++hold) {
            if (hold->first > 0 && calls(body, hold.key())) {
                --hold->first;
                QTimer::singleShot(hold->second, socket, [socket, answer] { answerWith(socket, answer); });
                return;
            }
        }
        answerWith(socket, answer);
    }

    static bool calls(const QByteArray &body, const QString &method)
    {
        const QRegularExpression element(QStringLiteral("<[A-Za-z0-9_]+:%1[\\s/>]").arg(method));
        return element.match(QString::fromUtf8(body)).hasMatch();
    }

    static void answerWith(QTcpSocket *socket, const QByteArray &answer)
    {
        reply(socket, 200, "text/xml; charset=utf-8", answer);
    }

    QByteArray m_answer;
    QMap<QString, QByteArray> m_methodAnswers;
    // Per operation: how many further calls are held, and for how long.
    QMap<QString, std::pair<int, int>> m_holds;
    QList<QByteArray> m_requests;
    bool m_holding = false;
    QList<std::pair<QPointer<QTcpSocket>, QByteArray>> m_held;
};

// An endpoint on a loopback port that nothing listens on, so every call fails to connect.
inline std::string closedEndpoint()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/school/services/schoolSvc").arg(port).toStdString();
}
