#pragma once

#include "documents/LoginResultItem.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

class HsAccountSwitcher;

// The signed-in user and the login type (0 teacher, 1 parent) for the whole run. Written by the
// login screen's worker thread, read by every screen and their worker threads; each value is
// read and replaced as a whole.
class HsUserSession
{
public:
    std::optional<LoginResultItem> loginItem() const
    {
        std::lock_guard lock(m_mutex);
        return m_loginItem;
    }

    // The signed-in user, or a record with default values when nobody has signed in.
    LoginResultItem user() const { return loginItem().value_or(LoginResultItem{}); }

    void setLoginItem(const LoginResultItem &item)
    {
        std::lock_guard lock(m_mutex);
        m_loginItem = item;
    }

    // Tells the signed-in accounts of this device apart: teachers and students are numbered apart.
    std::string accountKey() const
    {
        std::lock_guard lock(m_mutex);
        const int32_t userId = m_loginItem ? m_loginItem->userId : 0;
        return std::to_string(m_loginType) + ":" + std::to_string(userId);
    }

    // The account name typed at the sign-in of the signed-in user.
    std::string accountName() const
    {
        std::lock_guard lock(m_mutex);
        return m_accountName;
    }

    void setAccountName(const std::string &name)
    {
        std::lock_guard lock(m_mutex);
        m_accountName = name;
    }

    // The sign-in that can switch to another remembered account; none where nothing can.
    HsAccountSwitcher *accountSwitcher() const { return m_accountSwitcher; }
    void setAccountSwitcher(HsAccountSwitcher *switcher) { m_accountSwitcher = switcher; }

    int32_t loginType() const
    {
        std::lock_guard lock(m_mutex);
        return m_loginType;
    }

    void setLoginType(int32_t type)
    {
        std::lock_guard lock(m_mutex);
        m_loginType = type;
    }

private:
    mutable std::mutex m_mutex;
    std::optional<LoginResultItem> m_loginItem;
    int32_t m_loginType = 0;
    std::string m_accountName;
    // Set once on the interface thread before any screen reads it.
    HsAccountSwitcher *m_accountSwitcher = nullptr;
};
