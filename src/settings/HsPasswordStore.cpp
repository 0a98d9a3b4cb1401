#include "HsPasswordStore.h"

#include "common/HsLog.h"

#include <QMetaObject>
#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>
#include <utility>

namespace {

std::optional<QString> serviceName = QStringLiteral("hsschool");

// Starts the job and calls `settle` exactly once: with the job when it finishes within the time
// limit, with null when the limit passes first. The job is not owned by `context`: a job that
// never finishes is left to the secret store's library, and its late end reaches nobody once
// `context` has gone.
void startWithTimeLimit(QKeychain::Job *job, QObject *context, int milliseconds,
                        std::function<void(QKeychain::Job *)> settle)
{
    auto settled = std::make_shared<bool>(false);
    const auto once = [settled, settle = std::move(settle)](QKeychain::Job *finished) {
        if (std::exchange(*settled, true))
            return;
        settle(finished);
    };
    QObject::connect(job, &QKeychain::Job::finished, context, once);
    QTimer::singleShot(milliseconds, context, [once] { once(nullptr); });
    job->start();
}

bool succeeded(const QKeychain::Job *job)
{
    if (job && job->error() == QKeychain::NoError)
        return true;
    if (job && job->error() != QKeychain::EntryNotFound)
        hsLog("secret store: %s", qPrintable(job->errorString()));
    else if (!job)
        hsLog("secret store: no answer in time");
    return false;
}

} // namespace

HsPasswordStore::HsPasswordStore(HsDefaults &defaults, QObject *parent)
    : QObject(parent), m_defaults(defaults)
{}

void HsPasswordStore::setSecretServiceName(const std::optional<QString> &name)
{
    serviceName = name;
}

std::optional<QString> HsPasswordStore::secretServiceName()
{
    return serviceName;
}

QString HsPasswordStore::fileKey(const QString &accountKey)
{
    return QStringLiteral("passwords/") + QString::fromLatin1(accountKey.toUtf8().toHex());
}

void HsPasswordStore::read(const QString &accountKey, ReadDone done)
{
    if (!serviceName) {
        QMetaObject::invokeMethod(
            this, [this, accountKey, done] { done(readFile(accountKey)); }, Qt::QueuedConnection);
        return;
    }
    auto *job = new QKeychain::ReadPasswordJob(*serviceName);
    job->setKey(accountKey);
    startWithTimeLimit(job, this, m_timeoutMilliseconds, [this, accountKey, done](QKeychain::Job *finished) {
        if (succeeded(finished))
            done(static_cast<QKeychain::ReadPasswordJob *>(finished)->textData());
        else
            done(readFile(accountKey));
    });
}

void HsPasswordStore::write(const QString &accountKey, const QString &password, WriteDone done)
{
    const auto answer = [done](Place place) {
        if (done)
            done(place);
    };
    if (!serviceName) {
        QMetaObject::invokeMethod(
            this, [this, accountKey, password, answer] { answer(writeFile(accountKey, password)); },
            Qt::QueuedConnection);
        return;
    }
    auto *job = new QKeychain::WritePasswordJob(*serviceName);
    job->setKey(accountKey);
    job->setTextData(password);
    startWithTimeLimit(job, this, m_timeoutMilliseconds,
                       [this, accountKey, password, answer](QKeychain::Job *finished) {
                           if (!succeeded(finished)) {
                               answer(writeFile(accountKey, password));
                               return;
                           }
                           m_defaults.remove(fileKey(accountKey));
                           answer(Place::SecretStore);
                       });
}

void HsPasswordStore::remove(const QString &accountKey, std::function<void()> done)
{
    m_defaults.remove(fileKey(accountKey));
    const auto answer = [done] {
        if (done)
            done();
    };
    if (!serviceName) {
        QMetaObject::invokeMethod(this, answer, Qt::QueuedConnection);
        return;
    }
    auto *job = new QKeychain::DeletePasswordJob(*serviceName);
    job->setKey(accountKey);
    startWithTimeLimit(job, this, m_timeoutMilliseconds, [answer](QKeychain::Job *finished) {
        succeeded(finished);
        answer();
    });
}

std::optional<QString> HsPasswordStore::readFile(const QString &accountKey) const
{
    return m_defaults.value(fileKey(accountKey));
}

HsPasswordStore::Place HsPasswordStore::writeFile(const QString &accountKey, const QString &password)
{
    return m_defaults.setValue(fileKey(accountKey), password) ? Place::DefaultsFile : Place::Nowhere;
}
