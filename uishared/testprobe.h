#pragma once
// The end-to-end tests' window into a running program, off unless the environment
// asks for it. With KLIQORA_TEST_PROBE naming a private folder, the program listens
// on a local socket in that folder named after the program, and answers every line
// it receives (a widget path, see widgetprobe.h) with one line of JSON that
// describes the widget. Only this user's processes can connect; the probe reads
// widgets and changes nothing.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class TestProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr char EnvironmentVariable[] = "KLIQORA_TEST_PROBE";
    // A question longer than this is no widget path: its connection is dropped.
    static constexpr int MaxQuestionBytes = 4096;

    // Where the program called `programName` listens inside `folder`.
    static QString socketPath(const QString& folder, const QString& programName);

    // Without the variable: nothing at all. With it: a probe owned by the
    // application, named after the program file, that starts listening once the
    // event loop has run what was queued before this call. So a program that
    // answers has done the start-up work it queued (loading files, registering
    // hotkeys) before the call.
    static void startFromEnvironment();

    explicit TestProbe(QObject* parent = nullptr);
    ~TestProbe() override;

    // Listens at `path`; a socket left there by a program that no longer answers is
    // taken over, a live one is not.
    bool listen(const QString& path);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);

    QLocalServer* m_server;
};
