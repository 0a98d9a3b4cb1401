#pragma once

#include "settings/HsDefaults.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

// Keeps the remembered passwords, one per account key: in the desktop's secret store when one
// answers, otherwise in the owner-only defaults file. A password the secret store has taken is
// removed from the file.
//
// The secret store is asked over D-Bus, which may be missing, locked behind a prompt nobody
// answers, or hung. So every call returns at once and answers later on the calling (interface)
// thread: a secret store that has not answered within the time limit counts as absent, and the
// defaults file is used instead.
class HsPasswordStore : public QObject
{
    Q_OBJECT
public:
    enum class Place
    {
        SecretStore,
        DefaultsFile,
        Nowhere,
    };

    using ReadDone = std::function<void(std::optional<QString>)>;
    using WriteDone = std::function<void(Place)>;

    explicit HsPasswordStore(HsDefaults &defaults, QObject *parent = nullptr);

    // The password of the account, from the secret store or else the file; none when neither
    // holds one.
    void read(const QString &accountKey, ReadDone done);
    // Stores the password and answers where it went.
    void write(const QString &accountKey, const QString &password, WriteDone done = {});
    // Forgets the password in both places.
    void remove(const QString &accountKey, std::function<void()> done = {});

    // The name under which this application's entries are kept in the secret store, or none to
    // keep every password in the defaults file. Process-wide; "hsschool" unless changed.
    static void setSecretServiceName(const std::optional<QString> &name);
    static std::optional<QString> secretServiceName();

    // How long the secret store may take to answer one call.
    void setSecretStoreTimeout(int milliseconds) { m_timeoutMilliseconds = milliseconds; }

    // The defaults file's key for the account's password.
    static QString fileKey(const QString &accountKey);

private:
    std::optional<QString> readFile(const QString &accountKey) const;
    Place writeFile(const QString &accountKey, const QString &password);

    HsDefaults &m_defaults;
    int m_timeoutMilliseconds = 5000;
};
