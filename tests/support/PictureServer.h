#pragma once

#include "LoopbackHttpServer.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <algorithm>
#include <memory>

// Pictures over HTTP GET. Each path answers with a status and a body; a held path keeps its
// answers back until it is released, so a test can let a later load finish first; a streamed
// path sends a long body in pieces as the client takes them. Counts the requests of each path.
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

    // Answers `path` with `bytes` zero bytes, its length announced or not (then the body ends
    // where the connection does), sent a piece at a time while the client is there to take it.
    void answerStreamed(const QString &path, qint64 bytes, bool announced)
    {
        m_streamed[path] = {bytes, announced};
    }

    // The body bytes sent so far for a streamed path.
    qint64 sentOf(const QString &path) const { return m_sent.value(path); }

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

    struct Stream
    {
        qint64 bytes = 0;
        bool announced = false;
    };

    static constexpr qint64 kStreamPiece = 256 * 1024;

    void serve(QTcpSocket *socket, const QString &path, const QByteArray &) override
    {
        ++m_requests[path];
        if (m_streamed.contains(path))
            stream(socket, path, m_streamed.value(path));
        else if (m_held.contains(path))
            m_held[path].append(socket);
        else
            send(socket, path);
    }

    void clientLeft() override { ++m_abandoned; }

    // Tops the socket's queue up to one piece whenever it has sent what it held, so the server
    // never runs far ahead of what the client reads.
    void stream(QTcpSocket *socket, const QString &path, const Stream &body)
    {
        socket->setProperty("answered", true);
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\n";
        if (body.announced)
            head += "Content-Length: " + QByteArray::number(body.bytes) + "\r\n";
        socket->write(head + "\r\n");
        auto left = std::make_shared<qint64>(body.bytes);
        const auto sendMore = [this, socket, path, left] {
            if (*left == 0 || socket->state() != QAbstractSocket::ConnectedState ||
                socket->bytesToWrite() > kStreamPiece)
                return;
            const qint64 piece = std::min(kStreamPiece, *left);
            socket->write(QByteArray(piece, '\0'));
            *left -= piece;
            m_sent[path] += piece;
            if (*left == 0)
                socket->disconnectFromHost();
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, sendMore);
        sendMore();
    }

    void send(QTcpSocket *socket, const QString &path)
    {
        const Answer answer = m_answers.value(path);
        reply(socket, answer.status, answer.contentType, answer.body);
    }

    QHash<QString, Answer> m_answers;
    QHash<QString, Stream> m_streamed;
    QHash<QString, qint64> m_sent;
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
    QHash<QString, int> m_requests;
    int m_abandoned = 0;
};
