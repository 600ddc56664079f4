#pragma once
// The server's TLS side: a self-signed certificate for 127.0.0.1 and localhost, made in memory
// at start, and the OpenSSL context that serves it.
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace quorvane {

class DemoTls {
public:
    // Makes a P-256 key and a certificate for it; raises DemoError when OpenSSL fails.
    DemoTls();
    ~DemoTls();
    DemoTls(const DemoTls&) = delete;
    DemoTls& operator=(const DemoTls&) = delete;

    const std::string& certificatePem() const { return pem_; }
    // Writes the certificate as PEM; raises DemoError when the file cannot be written.
    void writeCertificate(const std::string& fileName) const;
    SSL_CTX* context() const { return context_; }

private:
    SSL_CTX* context_ = nullptr;
    std::string pem_;
};

}  // namespace quorvane
