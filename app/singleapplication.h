#pragma once
// The application object of the main program, with the guard that keeps one
// instance per user running.
//
// The guard is a lock file in the user's runtime folder. The operating system
// releases it with the process, and a lock left by a crashed instance is recognised
// as stale (its process is gone) and taken over, so a crash never locks the program
// out. Each user has a runtime folder of their own, so users do not block each other.

#include <QApplication>
#include <QString>

#include <memory>

class QLockFile;

class SingleApplication : public QApplication
{
    Q_OBJECT

public:
    SingleApplication(int& argc, char** argv, const QString& key);
    ~SingleApplication() override;

    // True when this is the only instance (the guard is now held), false when
    // another instance of the same user holds it.
    bool lock();

    // Where the guard for `key` lives.
    static QString lockFilePath(const QString& key);

    // True when a live instance holds the guard for `key`. Needs no application
    // object of this class: a second start asks before it makes one.
    static bool isHeldElsewhere(const QString& key);

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
};
