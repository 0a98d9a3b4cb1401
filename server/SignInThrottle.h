#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// How many failures lock a name or an address, and for how long.
struct SignInLimits
{
    // Failures within the window that lock an account name.
    int accountFailures = 5;
    // Failures within the window that lock an address. Higher than an account's: a school or a
    // block of flats may reach the service through one address.
    int addressFailures = 20;
    std::chrono::steady_clock::duration window = std::chrono::minutes(15);
    std::chrono::steady_clock::duration lockout = std::chrono::minutes(15);
    // Names and addresses remembered, each; beyond it the least recently failed are forgotten,
    // so invented names and addresses cannot take the service's memory.
    size_t remembered = 10000;
};

// Slows down password guessing: counts the password checks that failed, per account name and per
// caller address, and once either has failed too often within a window refuses every further
// check for it for a while. A refusal answers at once, so an attacker never holds a worker asleep.
//
// A check is counted as failed before the password is looked at and taken back when it succeeds,
// so that many guesses sent at once cannot all slip in before the first one is counted.
class SignInThrottle
{
public:
    using Clock = std::chrono::steady_clock;

    explicit SignInThrottle(SignInLimits limits = {}, std::function<Clock::time_point()> now = Clock::now);

    // Whether a password for the account may be checked now for a caller at this address: nothing
    // when it may (and the check is counted as failed until succeeded() says otherwise), or how
    // long until it may.
    std::optional<Clock::duration> admit(std::string_view account, std::string_view address);
    // The password was right: the account's failures are forgotten and this check is not counted
    // against the address.
    void succeeded(std::string_view account, std::string_view address);

    // Names and addresses remembered at the moment.
    size_t remembered() const;

private:
    // Failures of one name or address within the current window.
    struct Failures
    {
        int count = 0;
        Clock::time_point windowStart;
        std::optional<Clock::time_point> lockedUntil;
        std::list<std::string>::iterator recency;
    };

    // Failures by key, forgetting the least recently failed key beyond a number of keys.
    class Register
    {
    public:
        Register(int limit, size_t capacity) : limit_(limit), capacity_(capacity) {}
        // The remaining lock of the key, if it is locked; an expired lock or window starts afresh.
        std::optional<Clock::duration> lockRemaining(std::string_view key, Clock::time_point now,
                                                     Clock::duration window);
        void fail(std::string_view key, Clock::time_point now, Clock::duration lockout);
        void takeBack(std::string_view key);
        void forget(std::string_view key);
        size_t size() const { return byKey_.size(); }

    private:
        Failures *find(std::string_view key);

        int limit_;
        size_t capacity_;
        std::unordered_map<std::string, Failures> byKey_;
        std::list<std::string> recentFirst_;
    };

    SignInLimits limits_;
    std::function<Clock::time_point()> now_;
    mutable std::mutex mutex_;
    Register accounts_;
    Register addresses_;
};
