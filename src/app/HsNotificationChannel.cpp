#include "HsNotificationChannel.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <memory>

namespace {

constexpr int connectMilliseconds = 3000;
constexpr int maximumPayloadBytes = 64 * 1024;

bool instanceAnswers(const QString &name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool answers = probe.waitForConnected(connectMilliseconds);
    probe.abort();
    return answers;
}

} // namespace

HsNotificationChannel::HsNotificationChannel(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, &HsNotificationChannel::acceptConnections);
}

QString HsNotificationChannel::socketName(const QString &dataDirectory)
{
    const QByteArray digest = QCryptographicHash::hash(dataDirectory.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("hsschool-notify-") + QString::fromLatin1(digest.toHex().left(16));
}

bool HsNotificationChannel::listen(const QString &name)
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    // Listening replaces the socket file of a running instance, so ask first.
    if (instanceAnswers(name))
        return false;
    if (m_server.listen(name))
        return true;
    // A socket file left behind by an instance that ended without cleaning up.
    QLocalServer::removeServer(name);
    return m_server.listen(name);
}

void HsNotificationChannel::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            if (received->size() > maximumPayloadBytes) {
                socket->abort();
                return;
            }
            if (!received->endsWith('\n'))
                return;
            const QJsonDocument document = QJsonDocument::fromJson(*received);
            if (document.isObject())
                emit payloadReceived(document.object().toVariantMap());
            socket->disconnectFromServer();
        });
    }
}

bool HsNotificationChannel::send(const QString &name, const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("the payload is not a JSON object");
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(connectMilliseconds)) {
        if (error)
            *error = QStringLiteral("no running instance: ") + socket.errorString();
        return false;
    }
    socket.write(document.toJson(QJsonDocument::Compact) + '\n');
    const bool written = socket.waitForBytesWritten(connectMilliseconds);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(connectMilliseconds);
    if (!written && error)
        *error = socket.errorString();
    return written;
}
