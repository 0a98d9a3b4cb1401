#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// Pictures over HTTP GET on a loopback port, served by the event loop of the thread that made
// it. Each path answers with a status and a body; a held path keeps its answers back until it is
// released, so a test can let a later load finish first. Counts the requests of each path.
class PictureServer : public QObject
{
public:
    PictureServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

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

    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
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

    void serve(QTcpSocket *socket)
    {
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (!socket->property("answered").toBool())
                ++m_abandoned;
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray received = socket->property("received").toByteArray() + socket->readAll();
            socket->setProperty("received", received);
            if (!received.contains("\r\n\r\n") || socket->property("path").isValid())
                return;
            const QString path = QString::fromLatin1(received.split(' ').value(1));
            socket->setProperty("path", path);
            ++m_requests[path];
            if (m_held.contains(path))
                m_held[path].append(socket);
            else
                send(socket, path);
        });
    }

    void send(QTcpSocket *socket, const QString &path)
    {
        const Answer answer = m_answers.value(path);
        const QByteArray reason = answer.status == 200 ? "OK" : "Error";
        socket->setProperty("answered", true);
        socket->write("HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reason +
                      "\r\nContent-Type: " + answer.contentType +
                      "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(answer.body.size()) +
                      "\r\n\r\n" + answer.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    QHash<QString, QList<QPointer<QTcpSocket>>> m_held;
    QHash<QString, int> m_requests;
    int m_abandoned = 0;
};
