#include "xdotool.h"

#include <QProcess>

namespace {
constexpr int ToolTimeoutMs = 10000;
}

bool xdotool(const QStringList& args, QString* output)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    if (!tool.waitForFinished(ToolTimeoutMs))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    return tool.exitCode() == 0;
}

QStringList visibleWindows(qint64 pid, const QString& namePattern)
{
    QStringList args = {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--pid"), QString::number(pid)};
    if (!namePattern.isEmpty())
        args << QStringLiteral("--name") << namePattern;
    QString out;
    xdotool(args, &out);
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
