#include "fuzzsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// Memory-backed when the system has it: every save ends in an fsync, which on a disk
// would cost more than the whole rest of an input.
QString scratchBase()
{
    const QString shm = QStringLiteral("/dev/shm");
    return QFileInfo(shm).isDir() && QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
}

QTemporaryDir* scratchDir()
{
    // Created before the application so HOME and XDG already point into it.
    static QTemporaryDir dir(scratchBase() + QStringLiteral("/kliqora-fuzz-XXXXXX"));
    return &dir;
}

void quietHandler(QtMsgType, const QMessageLogContext&, const QString&) {}

void pointHomeAt(const QString& base)
{
    const QByteArray root = QFile::encodeName(base);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    QDir(base).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

namespace fuzz {

void init(int* argc, char*** argv, bool widgets)
{
    // Never destroyed: the targets' own singletons outlive any order of static destruction.
    static QGuiApplication* app = nullptr;
    if (app)
        return;
    QTemporaryDir* dir = scratchDir();
    if (!dir->isValid())
        fail("no temporary folder");
    pointHomeAt(dir->path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every rejected input logs a warning; millions of them would only slow the run.
    qInstallMessageHandler(quietHandler);
    if (widgets)
        app = new QApplication(*argc, *argv);
    else
        app = new QGuiApplication(*argc, *argv);
}

QString scratchPath(const QString& name)
{
    return scratchDir()->filePath(name);
}

QString writeInput(const uint8_t* data, size_t size, const QString& name)
{
    const QString path = scratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        fail("cannot write the scratch file");
    return path;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace fuzz
