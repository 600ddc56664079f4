#include "tools/democal/DemoTls.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <memory>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoErrors.h"

namespace quorvane {

namespace {

struct KeyFree { void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); } };
struct CertFree { void operator()(X509* c) const { X509_free(c); } };
struct BioFree { void operator()(BIO* b) const { BIO_free(b); } };

[[noreturn]] void fail(const std::string& what) {
    unsigned long code = ERR_get_error();
    char reason[256] = "";
    if (code) ERR_error_string_n(code, reason, sizeof reason);
    ERR_clear_error();
    throw DemoError(what + (code ? std::string(": ") + reason : std::string()));
}

void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

void addExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    check(ext != nullptr, "cannot make a certificate extension");
    int added = X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
    check(added == 1, "cannot add a certificate extension");
}

std::unique_ptr<X509, CertFree> makeCertificate(EVP_PKEY* key) {
    std::unique_ptr<X509, CertFree> cert(X509_new());
    check(cert != nullptr, "cannot make a certificate");
    check(X509_set_version(cert.get(), 2) == 1, "cannot set the certificate version");
    unsigned char serial[16];
    check(RAND_bytes(serial, sizeof serial) == 1, "no random bytes for the serial number");
    serial[0] &= 0x7F;  // a positive serial number
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    check(number != nullptr && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get())) != nullptr,
          "cannot set the serial number");
    BN_free(number);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -DemoCertBackdateSeconds);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), DemoCertValidDays * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert.get());
    const std::string commonName(DemoCertCommonName);
    check(X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char*>("Quorvane demo calendar"), -1,
                                     -1, 0) == 1 &&
              X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                         reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                                         -1, 0) == 1,
          "cannot set the certificate name");
    check(X509_set_issuer_name(cert.get(), name) == 1, "cannot set the certificate issuer");
    check(X509_set_pubkey(cert.get(), key) == 1, "cannot set the certificate key");
    const std::string altNames(DemoCertSubjectAltName);
    addExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE");
    addExtension(cert.get(), NID_key_usage, "critical,digitalSignature");
    addExtension(cert.get(), NID_ext_key_usage, "serverAuth");
    addExtension(cert.get(), NID_subject_key_identifier, "hash");
    addExtension(cert.get(), NID_subject_alt_name, altNames.c_str());
    check(X509_sign(cert.get(), key, EVP_sha256()) > 0, "cannot sign the certificate");
    return cert;
}

}  // namespace

DemoTls::DemoTls() {
    std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
    check(key != nullptr, "cannot make a key");
    std::unique_ptr<X509, CertFree> cert = makeCertificate(key.get());

    std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
    check(bio != nullptr && PEM_write_bio_X509(bio.get(), cert.get()) == 1, "cannot write the certificate");
    char* data = nullptr;
    long size = BIO_get_mem_data(bio.get(), &data);
    pem_.assign(data, static_cast<std::size_t>(size));

    context_ = SSL_CTX_new(TLS_server_method());
    check(context_ != nullptr, "cannot make a TLS context");
    if (SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION) != 1 ||
        SSL_CTX_use_certificate(context_, cert.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context_, key.get()) != 1 || SSL_CTX_check_private_key(context_) != 1) {
        SSL_CTX_free(context_);
        context_ = nullptr;
        fail("cannot set up the TLS context");
    }
}

DemoTls::~DemoTls() { SSL_CTX_free(context_); }

void DemoTls::writeCertificate(const std::string& fileName) const {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out << pem_;
    out.close();
    if (!out) throw DemoError("cannot write the certificate to '" + fileName + "'");
}

}  // namespace quorvane
