#pragma once

#include "LoopbackHttpServer.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>

// Pictures over HTTP GET. Each path answers with a status and a body; a held path keeps its
// answers back until it is released, so a test can let a later load finish first. Counts the
// requests of each path.
class PictureServer : public LoopbackHttpServer
{
public:
    // A PNG picture of one colour.
    static QByteArray png(const QSize &size, const QColor &colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    void answer(const QString &path, int status, const QByteArray &body,
                const QByteArray &contentType = "image/png")
    {
        m_answers[path] = {status, body, contentType};
    }

    void hold(const QString &path) { m_held.insert(path, {}); }

    // Sends the answers held back for `path`, to the clients still connected.
    void release(const QString &path)
    {
        const QList<QPointer<QTcpSocket>> waiting = m_held.take(path);
        for (const QPointer<QTcpSocket> &socket : waiting) {
            if (socket && socket->state() == QAbstractSocket::ConnectedState)
                send(socket, path);
        }
    }

    int requestsOf(const QString &path) const { return m_requests.value(path); }
    // Clients that went away before their answer was sent.
    int abandoned() const { return m_abandoned; }

private:
    struct Answer
    {
        int status = 404;
        QByteArray body;
        QByteArray contentType;
    };

    void serve(QTcpSocket *socket, const QString &path, const QByteArray &) override
    {
        ++m_requests[path];
        if (m_held.contains(path))
            m_held[path].append(socket);
        else
            send(socket, path);
    }

    void clientLeft() override { ++m_abandoned; }

    void send(QTcpSocket *socket, const QString &path)
    {
        const Answer answer = m_answers.value(path);
        reply(socket, answer.status, answer.contentType, answer.body);
    }

    QHash<QString, Answer> m_answers;
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
    QHash<QString, int> m_requests;
    int m_abandoned = 0;
};
