#include "singleapplication.h"

#include "logcategory.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleApplication::SingleApplication(int& argc, char** argv, const QString& key)
    : QApplication(argc, argv), m_key(key)
{
}

SingleApplication::~SingleApplication() = default;

QString SingleApplication::lockFilePath(const QString& key)
{
    // The runtime folder is per user (XDG_RUNTIME_DIR, or a private folder under
    // the temporary folder); fall back to the temporary folder itself.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("kliqora-%1.lock").arg(key));
}

bool SingleApplication::isHeldElsewhere(const QString& key)
{
    // Taken and given back at once: a stale guard of a dead instance counts as free.
    QLockFile probe(lockFilePath(key));
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    return probe.error() == QLockFile::LockFailedError;
}

bool SingleApplication::lock()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(lockFilePath(m_key));
    // A running instance may hold the lock for days: only a dead owner makes it stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError)
        return false; // held by a live instance
    // The folder is not writable: better two instances than none at all.
    qCWarning(logCategory()) << "Cannot create the single-instance lock" << lockFilePath(m_key)
                             << "- starting without it";
    return true;
}
