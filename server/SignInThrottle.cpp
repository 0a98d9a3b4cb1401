#include "SignInThrottle.h"

#include <algorithm>

namespace {

// Longer names are told apart by their beginning only, so that one remembered name never takes
// more than this; real account names are far shorter.
constexpr size_t kKeyBytes = 64;

std::string keyOf(std::string_view name)
{
    return std::string(name.substr(0, kKeyBytes));
}

} // namespace

SignInThrottle::SignInThrottle(SignInLimits limits, std::function<Clock::time_point()> now)
    : limits_(limits), now_(std::move(now)), accounts_(limits.accountFailures, limits.remembered),
      addresses_(limits.addressFailures, limits.remembered)
{}

std::optional<SignInThrottle::Clock::duration> SignInThrottle::admit(std::string_view account,
                                                                     std::string_view address)
{
    std::lock_guard lock(mutex_);
    const Clock::time_point now = now_();
    const auto accountWait = accounts_.lockRemaining(account, now, limits_.window);
    const auto addressWait =
        address.empty() ? std::nullopt : addresses_.lockRemaining(address, now, limits_.window);
    if (accountWait || addressWait)
        return std::max(accountWait.value_or(Clock::duration::zero()),
                        addressWait.value_or(Clock::duration::zero()));
    accounts_.fail(account, now, limits_.lockout);
    if (!address.empty())
        addresses_.fail(address, now, limits_.lockout);
    return std::nullopt;
}

void SignInThrottle::succeeded(std::string_view account, std::string_view address)
{
    std::lock_guard lock(mutex_);
    accounts_.forget(account);
    addresses_.takeBack(address);
}

size_t SignInThrottle::remembered() const
{
    std::lock_guard lock(mutex_);
    return accounts_.size() + addresses_.size();
}

SignInThrottle::Failures *SignInThrottle::Register::find(std::string_view key)
{
    const auto found = byKey_.find(keyOf(key));
    return found == byKey_.end() ? nullptr : &found->second;
}

std::optional<SignInThrottle::Clock::duration>
SignInThrottle::Register::lockRemaining(std::string_view key, Clock::time_point now, Clock::duration window)
{
    Failures *failures = find(key);
    if (failures == nullptr)
        return std::nullopt;
    if (failures->lockedUntil && *failures->lockedUntil > now) {
        // A name still being tried is the last to be forgotten.
        recentFirst_.splice(recentFirst_.begin(), recentFirst_, failures->recency);
        return *failures->lockedUntil - now;
    }
    if (failures->lockedUntil || now - failures->windowStart >= window) {
        failures->count = 0;
        failures->windowStart = now;
        failures->lockedUntil.reset();
    }
    return std::nullopt;
}

void SignInThrottle::Register::fail(std::string_view key, Clock::time_point now, Clock::duration lockout)
{
    std::string name = keyOf(key);
    auto found = byKey_.find(name);
    if (found == byKey_.end()) {
        if (byKey_.size() >= capacity_) {
            byKey_.erase(recentFirst_.back());
            recentFirst_.pop_back();
        }
        recentFirst_.push_front(name);
        found = byKey_.emplace(std::move(name), Failures{0, now, std::nullopt, recentFirst_.begin()}).first;
    } else {
        recentFirst_.splice(recentFirst_.begin(), recentFirst_, found->second.recency);
    }
    Failures &failures = found->second;
    if (++failures.count >= limit_ && !failures.lockedUntil)
        failures.lockedUntil = now + lockout;
}

void SignInThrottle::Register::takeBack(std::string_view key)
{
    Failures *failures = find(key);
    if (failures == nullptr || failures->count == 0)
        return;
    if (--failures->count < limit_)
        failures->lockedUntil.reset();
}

void SignInThrottle::Register::forget(std::string_view key)
{
    const auto found = byKey_.find(keyOf(key));
    if (found == byKey_.end())
        return;
    recentFirst_.erase(found->second.recency);
    byKey_.erase(found);
}
