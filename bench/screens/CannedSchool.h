#pragma once

#include "LoopbackHttpServer.h"
#include "SoapEnvelopes.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>

// A school service and its pictures on one loopback port, answering from memory after a delay of
// its own per kind of answer, as a distant service would. It answers from the event loop of the
// thread that made it: give it a thread of its own, so that serving never shows in the frames of
// the interface thread.
class CannedSchool : public LoopbackHttpServer
{
public:
    // The result document for a call, by its method and arguments; the school gives the addresses
    // of its pictures.
    using Documents = std::function<QString(const SentCall &, const CannedSchool &)>;

    struct Delays
    {
        int callMilliseconds = 0;
        // Calls of these methods take this long instead.
        QHash<QString, int> slowMethods;
        int pictureMilliseconds = 0;
    };

    // Pictures are served below /images/: "/images/photo-N.jpg" is picture N of `pictures`, round.
    CannedSchool(Documents documents, QList<QByteArray> pictures, Delays delays)
        : m_documents(std::move(documents)), m_pictures(std::move(pictures)), m_delays(std::move(delays))
    {}

    std::string endpoint() const { return url(QStringLiteral("/school/services/schoolSvc")).toStdString(); }
    QString pictureAddress(int n) const { return url(QStringLiteral("/images/photo-%1.jpg").arg(n)); }

private:
    void serve(QTcpSocket *socket, const QString &path, const QByteArray &body) override
    {
        static const QString picturePrefix = QStringLiteral("/images/photo-");
        if (path.startsWith(picturePrefix)) {
            const int n = QStringView(path).mid(picturePrefix.size()).split(u'.').front().toInt();
            const QByteArray picture =
                m_pictures.isEmpty() ? QByteArray() : m_pictures[n % m_pictures.size()];
            later(m_delays.pictureMilliseconds, socket,
                  [socket, picture] { reply(socket, 200, "image/jpeg", picture); });
            return;
        }
        const SentCall call = readSentCall(body.toStdString());
        const QByteArray answer =
            QByteArray::fromStdString(soapAnswer(call.method, m_documents(call, *this).toStdString()));
        const int delay =
            m_delays.slowMethods.value(QString::fromStdString(call.method), m_delays.callMilliseconds);
        later(delay, socket, [socket, answer] { reply(socket, 200, "text/xml; charset=utf-8", answer); });
    }

    static void later(int milliseconds, QTcpSocket *socket, std::function<void()> answer)
    {
        QTimer::singleShot(milliseconds, socket, std::move(answer));
    }

    Documents m_documents;
    QList<QByteArray> m_pictures;
    Delays m_delays;
};
