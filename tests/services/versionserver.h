#pragma once
// An HTTPS server on loopback answering the update check's version request with a
// set status and body, on its own thread for as long as the object lives.

#include "testcertificate.h"

#include <httplib.h>

#include <QString>

#include <atomic>
#include <string>
#include <thread>

class VersionServer
{
public:
    static constexpr const char* kVersionPath = "/api/kliqora/v1/latestVersion";

    VersionServer(const TestCertificate& certificate, int status, const std::string& body)
        : m_server(certificate.certificateFile().toLocal8Bit().constData(),
                   certificate.keyFile().toLocal8Bit().constData())
    {
        m_server.Get(kVersionPath,
                     [this, status, body](const httplib::Request&, httplib::Response& response) {
                         ++m_requests;
                         response.status = status;
                         response.set_content(body, "text/plain");
                     });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port > 0) {
            m_thread = std::thread([this] { m_server.listen_after_bind(); });
            // stop() only ends a server that is already running.
            while (!m_server.is_running())
                std::this_thread::yield();
        }
    }
    ~VersionServer()
    {
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }
    VersionServer(const VersionServer&) = delete;
    VersionServer& operator=(const VersionServer&) = delete;

    bool isListening() const { return m_port > 0 && m_server.is_valid(); }
    QString address() const { return QStringLiteral("https://127.0.0.1:%1").arg(m_port); }
    int requests() const { return m_requests; }

private:
    httplib::SSLServer m_server;
    std::thread m_thread;
    std::atomic<int> m_requests{0};
    int m_port = -1;
};
