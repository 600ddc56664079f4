#pragma once
// Checks a Google service-account assertion as the token service does: three base64url parts,
// the header's alg, typ and kid, and the RS256 signature with the account's public key.
#include <QByteArray>
#include <QJsonObject>

#include <memory>
#include <string>

struct evp_pkey_st;

struct VerifiedJwt {
    std::string failure;  // empty when the token is sound
    QJsonObject header;
    QJsonObject claims;
};

class FakeJwtVerifier {
public:
    // Raises std::runtime_error when the file holds no PEM public key.
    explicit FakeJwtVerifier(const std::string& publicKeyPath);
    ~FakeJwtVerifier();

    VerifiedJwt verify(const QByteArray& jwt, const QString& keyId) const;

private:
    std::shared_ptr<evp_pkey_st> key_;
};
