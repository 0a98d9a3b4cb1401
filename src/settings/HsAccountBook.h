#pragma once

#include "documents/LoginResultItem.h"
#include "settings/HsDefaults.h"

#include <QList>
#include <QString>
#include <optional>

// An account that signed in with "remember password" ticked.
struct HsRememberedAccount
{
    bool teacher = false;
    // The name typed at the sign-in.
    QString account;
    // The user's name as the sign-in answer gave it; may be empty.
    QString displayName;

    // The account that signed in with `account` as `user`. The list names it by the user's real
    // name: a parent's sign-in is the child's, which tells two children's accounts apart.
    static HsRememberedAccount signedIn(bool teacher, const QString &account, const LoginResultItem &user);

    // Tells accounts apart (teachers and parents sign in apart) and names the stored password.
    QString key() const;
    bool isSameAccount(const HsRememberedAccount &other) const { return key() == other.key(); }
    bool operator==(const HsRememberedAccount &) const = default;
};

// The remembered accounts of the device, in the order they were first remembered, kept in the
// defaults file (their passwords are kept apart, see HsPasswordStore).
class HsAccountBook
{
public:
    explicit HsAccountBook(HsDefaults &defaults);

    QList<HsRememberedAccount> accounts() const;
    bool contains(const HsRememberedAccount &account) const;
    // Adds the account at the end, or gives a remembered one its new display name in its place.
    bool remember(const HsRememberedAccount &account);
    bool forget(const HsRememberedAccount &account);

private:
    bool store(const QList<HsRememberedAccount> &accounts);

    HsDefaults &m_defaults;
};
