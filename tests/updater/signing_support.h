// Ed25519 keys and signatures for the tests, made with libcrypto as a
// publisher's openssl would make them.
#pragma once

#include <openssl/evp.h>

#include <boost/filesystem/path.hpp>
#include <memory>
#include <string>

#include "package_check.h"

class TestKey {
public:
    // A fresh key pair.
    static TestKey generate();
    // The private key of a PEM file (PKCS#8, as openssl genpkey writes it).
    static TestKey fromPemFile(const boost::filesystem::path& file);

    PublicKey publicKey() const;
    // The Base64 text of the signature of bytes, as a manifest carries it.
    std::string sign(const std::string& bytes) const;

private:
    struct Free {
        void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    };
    explicit TestKey(EVP_PKEY* key) : m_key(key) {}
    std::unique_ptr<EVP_PKEY, Free> m_key;
};

// The SHA-512 of bytes as 128 lower-case hex digits.
std::string sha512Hex(const std::string& bytes);
