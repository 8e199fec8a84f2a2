#include "uistartup.h"

#include "messageboxerrorreporter.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
const QString UiFontFamily = QStringLiteral("Microsoft YaHei");
const QString UiFontFamilyNarrow = QStringLiteral("Microsoft YaHei UI");
} // namespace

void UiStartup::setApplicationFont(int pointSize)
{
    const QStringList cjkFonts = {
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"),
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Droid Sans Fallback"),
    };
    QFont::insertSubstitutions(UiFontFamily, cjkFonts);
    QFont::insertSubstitutions(UiFontFamilyNarrow, cjkFonts);
    QApplication::setFont(QFont(UiFontFamily, pointSize));
}

bool UiStartup::installQtTranslator(QCoreApplication& app, QTranslator& translator)
{
    // Beside the working directory first (how the programs are shipped on Windows),
    // then Qt's own translations, where Linux distributions install them.
    if (!translator.load(QStringLiteral("translations/qt_zh_CN.qm")) &&
        !translator.load(QStringLiteral("qt_zh_CN"),
                         QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        return false;
    app.installTranslator(&translator);
    return true;
}

void UiStartup::installMessageBoxErrorReporter()
{
    // Lives until the process ends, so a report during shut-down still has a reporter.
    static MessageBoxErrorReporter reporter;
    ErrorReporter::install(&reporter);
}
