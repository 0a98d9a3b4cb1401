#pragma once

#include "settings/HsAccountBook.h"

#include <functional>

// What the settings screens may ask of the sign-in: a switch to a remembered account (see
// HsAccountBook) with its stored password, forgetting one, and keeping a changed password.
class HsAccountSwitcher
{
public:
    virtual ~HsAccountSwitcher() = default;

    // Signs in as the account without typing. On success the screens of the signed-in account
    // close and the main screen of the other one opens; otherwise a toast says why and nothing
    // changes.
    virtual void switchTo(const HsRememberedAccount &account) = 0;
    // Forgets the account and its stored password; `done` runs once both are gone.
    virtual void forget(const HsRememberedAccount &account, std::function<void()> done) = 0;
    // A remembered account's password was changed: the stored one follows, so that the next
    // switch or automatic sign-in works. An account not remembered stays so.
    virtual void keepNewPassword(const HsRememberedAccount &account, const QString &password) = 0;
};
