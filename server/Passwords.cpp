#include "Passwords.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <stdexcept>

namespace {

constexpr int kIterations = 50000;
constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;

Blob derive(std::string_view password, const Blob &salt, int iterations)
{
    Blob out(kHashBytes);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(),
                          static_cast<int>(out.size()), out.data()) != 1)
        throw std::runtime_error("password digest failed");
    return out;
}

} // namespace

PasswordHash hashPassword(std::string_view password)
{
    PasswordHash result;
    result.salt.resize(kSaltBytes);
    if (RAND_bytes(result.salt.data(), static_cast<int>(result.salt.size())) != 1)
        throw std::runtime_error("no random bytes for a salt");
    result.iterations = kIterations;
    result.hash = derive(password, result.salt, result.iterations);
    return result;
}

const PasswordHash &unmatchablePasswordHash()
{
    static const PasswordHash unmatchable = [] {
        PasswordHash result;
        result.salt.resize(kSaltBytes);
        result.hash.resize(kHashBytes);
        if (RAND_bytes(result.salt.data(), static_cast<int>(result.salt.size())) != 1 ||
            RAND_bytes(result.hash.data(), static_cast<int>(result.hash.size())) != 1)
            throw std::runtime_error("no random bytes for a digest");
        result.iterations = kIterations;
        return result;
    }();
    return unmatchable;
}

bool passwordMatches(std::string_view password, const PasswordHash &stored)
{
    if (stored.iterations <= 0 || stored.hash.size() != kHashBytes)
        return false;
    const Blob candidate = derive(password, stored.salt, stored.iterations);
    return CRYPTO_memcmp(candidate.data(), stored.hash.data(), kHashBytes) == 0;
}
