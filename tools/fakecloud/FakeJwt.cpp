#include "tools/fakecloud/FakeJwt.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <QJsonDocument>

#include <cstdio>
#include <stdexcept>

FakeJwtVerifier::FakeJwtVerifier(const std::string& publicKeyPath) {
    FILE* file = std::fopen(publicKeyPath.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot read the public key " + publicKeyPath);
    key_.reset(PEM_read_PUBKEY(file, nullptr, nullptr, nullptr), EVP_PKEY_free);
    std::fclose(file);
    if (!key_) throw std::runtime_error("no PEM public key in " + publicKeyPath);
}

FakeJwtVerifier::~FakeJwtVerifier() = default;

VerifiedJwt FakeJwtVerifier::verify(const QByteArray& jwt, const QString& keyId) const {
    const auto failed = [](const char* why) { return VerifiedJwt{why, {}, {}}; };
    VerifiedJwt result;
    const QList<QByteArray> parts = jwt.split('.');
    if (parts.size() != 3) return failed("not three parts");
    const auto decode = [](const QByteArray& part, QByteArray& out) {
        // Unpadded base64url only, as the format requires.
        if (part.contains('=') || part.contains('+') || part.contains('/')) return false;
        auto decoded = QByteArray::fromBase64Encoding(part, QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
        out = decoded.decoded;
        return static_cast<bool>(decoded);
    };
    QByteArray header, claims, signature;
    if (!decode(parts[0], header) || !decode(parts[1], claims) || !decode(parts[2], signature)) return failed("not base64url");
    result.header = QJsonDocument::fromJson(header).object();
    result.claims = QJsonDocument::fromJson(claims).object();
    if (result.header.value("alg") != "RS256" || result.header.value("typ") != "JWT") return failed("header is not RS256 JWT");
    if (result.header.value("kid").toString() != keyId) return failed("unknown kid");

    const QByteArray signedPart = parts[0] + '.' + parts[1];
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    const bool sound =
        context && EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) == 1 &&
        EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.constData()),
                         static_cast<std::size_t>(signature.size()),
                         reinterpret_cast<const unsigned char*>(signedPart.constData()),
                         static_cast<std::size_t>(signedPart.size())) == 1;
    if (!sound) result.failure = "bad signature";
    return result;
}
