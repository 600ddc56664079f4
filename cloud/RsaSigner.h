#pragma once
// RS256 signing (RSA PKCS#1 v1.5 over SHA-256) with OpenSSL's libcrypto: Qt has no RSA.
#include <QByteArray>

#include <memory>
#include <string>

struct evp_pkey_st;

class RsaSigner {
public:
    // Raises CloudCredentialsError when the PEM text holds no RSA private key.
    explicit RsaSigner(const std::string& privateKeyPem);
    ~RsaSigner();
    RsaSigner(RsaSigner&&) noexcept;
    RsaSigner& operator=(RsaSigner&&) noexcept;

    // The signature of the data; raises CloudCredentialsError when OpenSSL fails.
    QByteArray sign(const QByteArray& data) const;

private:
    struct KeyFree {
        void operator()(evp_pkey_st* key) const;
    };
    std::unique_ptr<evp_pkey_st, KeyFree> key_;
};

// Base64url without padding, as JSON Web Tokens write every part.
QByteArray base64Url(const QByteArray& data);
