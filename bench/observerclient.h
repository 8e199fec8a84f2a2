#pragma once
// Runs kliqora-bench-observer and reads back what it saw.
#include <QProcess>
#include <QString>
#include <QVector>
#include <cstdint>

struct SeenEvent
{
    char source = 'W';  // 'W' the observer's window, 'R' XRecord
    QString kind;       // BP, BR, KP, KR
    unsigned detail = 0;
    uint32_t serverMs = 0;
    int64_t steadyNs = 0; // arrival at the observer, CLOCK_MONOTONIC
    uint32_t codepoint = 0;
};

class ObserverClient
{
public:
    explicit ObserverClient(const QString& program);
    ~ObserverClient();
    ObserverClient(const ObserverClient&) = delete;
    ObserverClient& operator=(const ObserverClient&) = delete;

    bool start();
    // Forgets everything seen so far.
    void mark();
    // Everything seen since the last mark, after a short settle so late events count.
    QVector<SeenEvent> collect(int settleMs = 300);

    // Filters.
    static QVector<SeenEvent> select(const QVector<SeenEvent>& all, char source,
                                     const QString& kind);

private:
    // Waits for the observer's answer to the last command; true for "ok".
    bool readAnswer();
    QString m_program;
    QProcess m_process;
    QString m_dumpPath;
};
