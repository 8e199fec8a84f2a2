// Entry point of the flow designer. It edits the one flow file named after "-f" and
// ends at once without one. The operation prototypes are registered with the
// designer's default interval before the flow loads, so dropped operations start
// with it too.

#include "appconfig.h"
#include "applogger.h"
#include "closenotice.h"
#include "commandline.h"
#include "designernotify.h"
#include "kliqoradesigner.h"
#include "logcategory.h"
#include "operation.h"
#include "operationfactory.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
const QString uiFontFamily = QStringLiteral("Microsoft YaHei");
constexpr int uiFontPointSize = 9;
constexpr int designerDefaultIntervalMs = 50;

void setApplicationFont()
{
    // The Windows UI fonts are rarely present elsewhere: let them resolve to a
    // Simplified Chinese font that is, so the Chinese texts render in one face.
    const QStringList cjkFonts = {
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"),
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Droid Sans Fallback"),
    };
    QFont::insertSubstitutions(uiFontFamily, cjkFonts);
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei UI"), cjkFonts);
    QApplication::setFont(QFont(uiFontFamily, uiFontPointSize));
}

void installQtTranslator(QCoreApplication& app, QTranslator& translator)
{
    // Beside the working directory first (how the program is shipped on Windows),
    // then Qt's own translations, where Linux distributions install them.
    if (translator.load(QStringLiteral("translations/qt_zh_CN.qm")) ||
        translator.load(QStringLiteral("qt_zh_CN"),
                        QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);

    const QString filePath = designerFilePathFromArguments(QCoreApplication::arguments());
    if (filePath.isEmpty())
        return 0;

    setApplicationFont();
    QTranslator translator;
    installQtTranslator(app, translator);

    AppConfig::instance()->load();
    AppLogger::init();
    qCDebug(logCategory()) << "KliqoraDesigner has finished loading config.";

    Operation::setDefaultInterval(designerDefaultIntervalMs);
    OperationFactory::instance()->registerBuiltinOperations();

    KliqoraDesigner window(filePath);
    window.registerRunHotkey();
    window.show();
    QObject::connect(
        &app, &QCoreApplication::aboutToQuit, &app,
        [filePath] { sendCloseNotice(filePath, designerNotifyServerName()); },
        Qt::DirectConnection);
    return QApplication::exec();
}
