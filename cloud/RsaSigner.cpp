#include "cloud/RsaSigner.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include "cloud/CloudErrors.h"

namespace {

std::string openSslReason() {
    char text[256] = "";
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    ERR_clear_error();
    return text;
}

}  // namespace

RsaSigner::RsaSigner(const std::string& privateKeyPem) {
    std::unique_ptr<BIO, decltype(&BIO_free)> pem(BIO_new_mem_buf(privateKeyPem.data(), static_cast<int>(privateKeyPem.size())),
                                                  &BIO_free);
    key_.reset(pem ? PEM_read_bio_PrivateKey(pem.get(), nullptr, nullptr, nullptr) : nullptr);
    // The reason says what OpenSSL disliked, never the key's text.
    if (!key_) throw CloudCredentialsError("the private key is not a PEM private key (" + openSslReason() + ")");
    if (EVP_PKEY_get_base_id(key_.get()) != EVP_PKEY_RSA) throw CloudCredentialsError("the private key is not an RSA key");
}

RsaSigner::~RsaSigner() = default;
RsaSigner::RsaSigner(RsaSigner&&) noexcept = default;
RsaSigner& RsaSigner::operator=(RsaSigner&&) noexcept = default;

void RsaSigner::KeyFree::operator()(evp_pkey_st* key) const { EVP_PKEY_free(key); }

QByteArray RsaSigner::sign(const QByteArray& data) const {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    std::size_t length = 0;
    // An RSA key signs with PKCS#1 v1.5 padding unless told otherwise.
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &length,
                       reinterpret_cast<const unsigned char*>(data.constData()), static_cast<std::size_t>(data.size())) != 1)
        throw CloudCredentialsError("RS256 signing failed (" + openSslReason() + ")");
    QByteArray signature(static_cast<qsizetype>(length), '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(data.constData()), static_cast<std::size_t>(data.size())) != 1)
        throw CloudCredentialsError("RS256 signing failed (" + openSslReason() + ")");
    signature.truncate(static_cast<qsizetype>(length));
    return signature;
}

QByteArray base64Url(const QByteArray& data) {
    return data.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}
