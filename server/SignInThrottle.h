#pragma once

#include "Database.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How many failures lock a name or an address, and for how long.
struct SignInLimits
{
    // Failures within the window that lock an account name.
    int accountFailures = 5;
    // Failures within the window that lock an address. Higher than an account's: a school or a
    // block of flats may reach the service through one address.
    int addressFailures = 20;
    std::chrono::system_clock::duration window = std::chrono::minutes(15);
    std::chrono::system_clock::duration lockout = std::chrono::minutes(15);
};

// Slows down password guessing: counts the password checks that failed, per account name and per
// caller address, and once either has failed too often within a window refuses every further
// check for it for a while. A refusal answers at once, so an attacker never holds a worker asleep.
//
// The counts live in the database, so that every service process on it counts the same guesses:
// a guess through one process counts in all of them, and a sign-in through one clears the
// account in all of them. Times are the wall clock's, which the processes share. Counts whose
// window and lock have passed are deleted, so invented names cost rows only for a window, and an
// address stops adding rows once it is locked.
//
// A check is counted as failed before the password is looked at and taken back when it succeeds,
// so that many guesses sent at once cannot all slip in before the first one is counted.
class SignInThrottle
{
public:
    using Clock = std::chrono::system_clock;

    explicit SignInThrottle(SignInLimits limits = {}, std::function<Clock::time_point()> now = Clock::now);

    // Whether a password for the account may be checked now for a caller at this address: nothing
    // when it may (and the check is counted as failed until succeeded() says otherwise), or how
    // long until it may.
    std::optional<Clock::duration> admit(Connection &db, std::string_view account, std::string_view address);
    // The password was right: the account's failures are forgotten and this check is not counted
    // against the address.
    void succeeded(Connection &db, std::string_view account, std::string_view address);

    // Names and addresses with failures on record at the moment.
    static int64_t remembered(Connection &db);

private:
    // A key and the number of failures that locks it.
    struct Counter
    {
        std::string key;
        int limit;
    };

    Counter account(std::string_view name) const;
    Counter address(std::string_view address) const;
    std::optional<Clock::duration> lockRemaining(Connection &db, const Counter &counter, int64_t now) const;
    void fail(Connection &db, const Counter &counter, int64_t now) const;

    SignInLimits limits_;
    std::function<Clock::time_point()> now_;
};
