#include "testcertificate.h"

#include <QFile>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace {

constexpr long kValiditySeconds = 24 * 60 * 60;
// Backdated a little so a clock that differs by a moment does not reject it.
constexpr long kBackdateSeconds = 60;

struct PkeyFree
{
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct X509Free
{
    void operator()(X509* cert) const { X509_free(cert); }
};
struct BioFree
{
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct ExtensionFree
{
    void operator()(X509_EXTENSION* ext) const { X509_EXTENSION_free(ext); }
};

bool addExtension(X509* cert, int nid, const QByteArray& value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, ExtensionFree> ext(
        X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.constData()));
    return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

template <typename WritePem> bool writePem(const QString& path, WritePem write)
{
    std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
    if (!bio || !write(bio.get()))
        return false;
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data, size) == size;
}

} // namespace

TestCertificate::TestCertificate(const QStringList& altNames)
{
    std::unique_ptr<EVP_PKEY, PkeyFree> key(EVP_EC_gen("P-256"));
    std::unique_ptr<X509, X509Free> cert(X509_new());
    if (!key || !cert || !m_dir.isValid())
        return;

    X509_set_version(cert.get(), 2); // v3, for the extensions
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -kBackdateSeconds);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), kValiditySeconds);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());

    // Its own issuer, so it must be a CA to be trusted as the anchor of its chain.
    const bool extended =
        addExtension(cert.get(), NID_basic_constraints, "critical,CA:TRUE") &&
        addExtension(cert.get(), NID_subject_alt_name, altNames.join(QLatin1Char(',')).toLatin1());
    if (!extended || X509_sign(cert.get(), key.get(), EVP_sha256()) == 0)
        return;

    m_valid = writePem(certificateFile(),
                       [&](BIO* bio) { return PEM_write_bio_X509(bio, cert.get()) == 1; }) &&
              writePem(keyFile(), [&](BIO* bio) {
                  return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr,
                                                  nullptr) == 1;
              });
}

QString TestCertificate::certificateFile() const
{
    return m_dir.filePath(QStringLiteral("server.crt"));
}

QString TestCertificate::keyFile() const
{
    return m_dir.filePath(QStringLiteral("server.key"));
}
