#include "HsAccountBook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

const QString keyAccounts = QStringLiteral("accounts");
const QString fieldTeacher = QStringLiteral("teacher");
const QString fieldAccount = QStringLiteral("account");
const QString fieldName = QStringLiteral("name");

} // namespace

HsRememberedAccount HsRememberedAccount::signedIn(bool teacher, const QString &account,
                                                  const LoginResultItem &user)
{
    return {teacher, account, QString::fromStdString(user.realName.value_or(std::string()))};
}

QString HsRememberedAccount::key() const
{
    return (teacher ? QStringLiteral("teacher:") : QStringLiteral("parent:")) + account;
}

HsAccountBook::HsAccountBook(HsDefaults &defaults) : m_defaults(defaults) {}

QList<HsRememberedAccount> HsAccountBook::accounts() const
{
    QList<HsRememberedAccount> accounts;
    const QJsonArray stored =
        QJsonDocument::fromJson(m_defaults.value(keyAccounts).value_or(QString()).toUtf8()).array();
    for (const QJsonValue &entry : stored) {
        const QJsonObject fields = entry.toObject();
        HsRememberedAccount account{fields.value(fieldTeacher).toBool(),
                                    fields.value(fieldAccount).toString(),
                                    fields.value(fieldName).toString()};
        if (!account.account.isEmpty())
            accounts.push_back(account);
    }
    return accounts;
}

bool HsAccountBook::contains(const HsRememberedAccount &account) const
{
    const QList<HsRememberedAccount> known = accounts();
    return std::any_of(known.begin(), known.end(),
                       [&](const HsRememberedAccount &entry) { return entry.isSameAccount(account); });
}

bool HsAccountBook::remember(const HsRememberedAccount &account)
{
    QList<HsRememberedAccount> accounts = this->accounts();
    const auto known = std::find_if(accounts.begin(), accounts.end(), [&](const HsRememberedAccount &entry) {
        return entry.isSameAccount(account);
    });
    if (known == accounts.end())
        accounts.push_back(account);
    else if (*known == account)
        return true;
    else
        *known = account;
    return store(accounts);
}

bool HsAccountBook::forget(const HsRememberedAccount &account)
{
    QList<HsRememberedAccount> accounts = this->accounts();
    accounts.removeIf([&](const HsRememberedAccount &entry) { return entry.isSameAccount(account); });
    return store(accounts);
}

bool HsAccountBook::store(const QList<HsRememberedAccount> &accounts)
{
    QJsonArray stored;
    for (const HsRememberedAccount &account : accounts)
        stored.append(QJsonObject{{fieldTeacher, account.teacher},
                                  {fieldAccount, account.account},
                                  {fieldName, account.displayName}});
    return m_defaults.setValue(keyAccounts,
                               QString::fromUtf8(QJsonDocument(stored).toJson(QJsonDocument::Compact)));
}
