#include "SignInThrottle.h"

#include <algorithm>

namespace {

// Longer names are told apart by their beginning only, so that one remembered name never takes
// more than this; real account names are far shorter.
constexpr size_t kKeyBytes = 64;

// Times are kept as milliseconds of the wall clock; 0 stands for "not locked".
int64_t millisecondsOf(SignInThrottle::Clock::duration duration)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

} // namespace

SignInThrottle::SignInThrottle(SignInLimits limits, std::function<Clock::time_point()> now)
    : limits_(limits), now_(std::move(now))
{}

SignInThrottle::Counter SignInThrottle::account(std::string_view name) const
{
    return Counter{"account:" + std::string(name.substr(0, kKeyBytes)), limits_.accountFailures};
}

SignInThrottle::Counter SignInThrottle::address(std::string_view address) const
{
    return Counter{"address:" + std::string(address.substr(0, kKeyBytes)), limits_.addressFailures};
}

std::optional<SignInThrottle::Clock::duration> SignInThrottle::admit(Connection &db, std::string_view name,
                                                                     std::string_view caller)
{
    const int64_t now = millisecondsOf(now_().time_since_epoch());
    WriteTransaction tx(db);
    // Failures whose window has passed unlocked, and locks that are over, start afresh.
    db.run("DELETE FROM sign_in_failures WHERE (locked_until = 0 AND window_start <= ?) OR "
           "(locked_until <> 0 AND locked_until <= ?)",
           now - millisecondsOf(limits_.window), now);
    const Counter accountCounter = account(name);
    const auto accountWait = lockRemaining(db, accountCounter, now);
    Clock::duration wait = accountWait.value_or(Clock::duration::zero());
    if (!caller.empty())
        wait = std::max(wait, lockRemaining(db, address(caller), now).value_or(Clock::duration::zero()));
    if (wait > Clock::duration::zero()) {
        tx.commit();
        return wait;
    }
    fail(db, accountCounter, now);
    if (!caller.empty())
        fail(db, address(caller), now);
    tx.commit();
    return std::nullopt;
}

void SignInThrottle::succeeded(Connection &db, std::string_view name, std::string_view caller)
{
    WriteTransaction tx(db);
    db.run("DELETE FROM sign_in_failures WHERE name = ?", account(name).key);
    const Counter callerCounter = address(caller);
    db.run("UPDATE sign_in_failures SET failures = failures - 1, "
           "locked_until = CASE WHEN failures - 1 < ? THEN 0 ELSE locked_until END "
           "WHERE name = ? AND failures > 0",
           callerCounter.limit, callerCounter.key);
    tx.commit();
}

int64_t SignInThrottle::remembered(Connection &db)
{
    return db.scalar("SELECT count(*) FROM sign_in_failures").value_or(0);
}

std::optional<SignInThrottle::Clock::duration>
SignInThrottle::lockRemaining(Connection &db, const Counter &counter, int64_t now) const
{
    const int64_t lockedUntil =
        db.scalar("SELECT locked_until FROM sign_in_failures WHERE name = ?", counter.key).value_or(0);
    if (lockedUntil <= now)
        return std::nullopt;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(lockedUntil - now));
}

void SignInThrottle::fail(Connection &db, const Counter &counter, int64_t now) const
{
    const int64_t lockedUntil = now + millisecondsOf(limits_.lockout);
    if (!db.scalar("SELECT failures FROM sign_in_failures WHERE name = ?", counter.key)) {
        db.run(
            "INSERT INTO sign_in_failures (name, failures, window_start, locked_until) VALUES (?, 1, ?, ?)",
            counter.key, now, counter.limit <= 1 ? lockedUntil : 0);
        return;
    }
    db.run("UPDATE sign_in_failures SET failures = failures + 1, "
           "locked_until = CASE WHEN failures + 1 >= ? THEN CAST(? AS BIGINT) ELSE 0 END WHERE name = ?",
           counter.limit, lockedUntil, counter.key);
}
