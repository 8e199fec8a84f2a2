#include "togglecommand.h"

#include "commandoptions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString ProgramName = QStringLiteral("Kliqora");

bool isShellSafe(QChar c)
{
    // ASCII letters, digits and the punctuation no POSIX shell gives a meaning to
    // inside a word.
    static const QString punctuation = QStringLiteral("_-.,:/@%+=");
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || punctuation.contains(c));
}

} // namespace

QString shellQuoted(const QString& word)
{
    if (!word.isEmpty() && std::all_of(word.begin(), word.end(), isShellSafe))
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString toggleCommandProgram()
{
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString onPath = QStandardPaths::findExecutable(ProgramName);
    if (!onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == self)
        return ProgramName;
    return self.isEmpty() ? ProgramName : self;
}

QString toggleCommandLine(const JobSpec& job, const QString& program)
{
    return shellQuoted(program) + QStringLiteral(" --") +
           QLatin1String(CommandOptions::option(CommandOptions::Id::Toggle).longName) +
           QLatin1Char(' ') + shellQuoted(job.text());
}
