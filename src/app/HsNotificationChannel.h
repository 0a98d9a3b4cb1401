#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QVariantMap>

// Delivers remote-notification payloads to the running application: the running instance
// listens on a local socket named after its data directory, and `hsschool --notify JSON` sends
// one JSON object per connection.
class HsNotificationChannel : public QObject
{
    Q_OBJECT
public:
    explicit HsNotificationChannel(QObject *parent = nullptr);

    // The socket name of the instance that keeps its data in `dataDirectory`.
    static QString socketName(const QString &dataDirectory);

    // False when another running instance already listens on `name`.
    bool listen(const QString &name);
    // Sends `json` to the instance listening on `name`; false when none answers or the text is
    // not a JSON object.
    static bool send(const QString &name, const QByteArray &json, QString *error = nullptr);

signals:
    void payloadReceived(const QVariantMap &payload);

private:
    void acceptConnections();

    QLocalServer m_server;
};
