#pragma once
// A self-signed server certificate made at test time, written as PEM files into
// a temporary folder: the certificate doubles as the CA file a client may trust.

#include <QStringList>
#include <QTemporaryDir>

class TestCertificate
{
public:
    // `altNames` are subjectAltName entries such as "DNS:localhost" or "IP:127.0.0.1".
    explicit TestCertificate(const QStringList& altNames);

    bool isValid() const { return m_valid; }
    QString certificateFile() const;
    QString keyFile() const;

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};
