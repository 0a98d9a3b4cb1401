#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

// An HTTP server on a loopback port, served by the event loop of the thread that made it: hands
// each whole request (its path and body) to `serve`, which answers now, later or never.
class LoopbackHttpServer : public QObject
{
public:
    LoopbackHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                accept(socket);
        });
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

protected:
    virtual void serve(QTcpSocket *socket, const QString &path, const QByteArray &body) = 0;
    // A client went away before it was answered.
    virtual void clientLeft() {}

    static void reply(QTcpSocket *socket, int status, const QByteArray &contentType, const QByteArray &body)
    {
        socket->setProperty("answered", true);
        socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") +
                      "\r\nContent-Type: " + contentType + "\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

private:
    void accept(QTcpSocket *socket)
    {
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (!socket->property("answered").toBool())
                clientLeft();
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const QByteArray received = socket->property("received").toByteArray() + socket->readAll();
            socket->setProperty("received", received);
            const qsizetype headerEnd = received.indexOf("\r\n\r\n");
            if (headerEnd < 0 || socket->property("served").toBool())
                return;
            static const QRegularExpression lengthHeader(
                QStringLiteral("(?i)\\r\\ncontent-length:\\s*(\\d+)"));
            const auto length = lengthHeader.match(QString::fromLatin1(received.left(headerEnd)));
            const qsizetype bodyLength = length.hasMatch() ? length.captured(1).toLongLong() : 0;
            if (received.size() < headerEnd + 4 + bodyLength)
                return;
            socket->setProperty("served", true);
            serve(socket, QString::fromLatin1(received.split(' ').value(1)),
                  received.mid(headerEnd + 4, bodyLength));
        });
    }

    QTcpServer m_server;
};
