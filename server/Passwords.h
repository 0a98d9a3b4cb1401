#pragma once

#include "Database.h"

#include <string_view>

// A password as the database keeps it: a random salt and the PBKDF2-HMAC-SHA256 digest of the
// password under that salt. The password itself is never stored.
struct PasswordHash
{
    Blob salt;
    Blob hash;
    int iterations = 0;
};

PasswordHash hashPassword(std::string_view password);

// Whether the password gives the stored digest; compares in constant time.
bool passwordMatches(std::string_view password, const PasswordHash &stored);

// A stored digest that no password gives, checked with the same work as an account's: a refusal
// for a name that has no account takes as long as one for a wrong password, so it does not tell
// which accounts exist.
const PasswordHash &unmatchablePasswordHash();
