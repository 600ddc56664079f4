#pragma once
// The server's TLS side: a self-signed certificate for 127.0.0.1 and localhost, made in memory
// at start, and the OpenSSL context that serves it.
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

class DemoTls {
public:
    // Makes a P-256 key and a certificate for it; raises EDemoError when OpenSSL fails.
    DemoTls();
    ~DemoTls();
    DemoTls(const DemoTls&) = delete;
    DemoTls& operator=(const DemoTls&) = delete;

    const std::string& CertificatePem() const { return pem_; }
    // Writes the certificate as PEM; raises EDemoError when the file cannot be written.
    void WriteCertificate(const std::string& fileName) const;
    SSL_CTX* Context() const { return context_; }

private:
    SSL_CTX* context_ = nullptr;
    std::string pem_;
};
