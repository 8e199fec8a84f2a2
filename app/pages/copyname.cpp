#include "copyname.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

QString pathFor(const QFileInfo& source, const QString& name)
{
    const QString suffix = source.suffix();
    const QString fileName = suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix;
    return QDir::toNativeSeparators(source.dir().filePath(fileName));
}

} // namespace

QString CopyName::copyPath(const QString& sourcePath, const QString& prefix)
{
    const QFileInfo source(QDir::fromNativeSeparators(sourcePath));
    const QString base = prefix + source.completeBaseName();
    QString candidate = pathFor(source, base);
    if (!QFileInfo::exists(candidate))
        return candidate;

    std::vector<int> numbers(LastNumber - FirstNumber + 1);
    std::iota(numbers.begin(), numbers.end(), FirstNumber);
    QRandomGenerator* random = QRandomGenerator::global();
    std::shuffle(numbers.begin(), numbers.end(), *random);
    for (int number : numbers) {
        candidate = pathFor(source, base + QLatin1Char('_') + QString::number(number));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    for (int number = LastNumber + 1;; ++number) {
        candidate = pathFor(source, base + QLatin1Char('_') + QString::number(number));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}
