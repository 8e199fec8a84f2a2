#include "uistartup.h"

#include "appconfig.h"
#include "logcategory.h"
#include "messageboxerrorreporter.h"
#include "qtcompat.h"
#include "uilanguage.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

namespace {
const QString UiFontFamily = QStringLiteral("Microsoft YaHei");
const QString UiFontFamilyNarrow = QStringLiteral("Microsoft YaHei UI");
const char ScalingVariable[] = "QT_ENABLE_HIGHDPI_SCALING";
// Whether useScreenPixels() set ScalingVariable, rather than the user.
bool scalingVariableIsOurs = false;
} // namespace

void UiStartup::useScreenPixels()
{
    if (qEnvironmentVariableIsSet(ScalingVariable))
        return;
    qputenv(ScalingVariable, "0");
    scalingVariableIsOurs = true;
}

void UiStartup::leaveScalingToStartedPrograms()
{
    // Qt reads the variable once, as the application object is made.
    if (scalingVariableIsOurs)
        qunsetenv(ScalingVariable);
    scalingVariableIsOurs = false;
}

void UiStartup::useScreenScaling()
{
    QtCompat::enableHighDpiScaling();
    // Whole factors, as Qt 5 rounds by default; Qt 6 would scale by 1.5 at 144 DPI.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

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

bool UiStartup::installTranslations(QCoreApplication& app)
{
    const QString language =
        UiLanguage::resolve(AppConfig::instance()->language, QLocale::system().uiLanguages());
    qCInfo(logCategory()).noquote() << "Language: " + language;
    return UiLanguage::install(app, language);
}

void UiStartup::installMessageBoxErrorReporter()
{
    // Lives until the process ends, so a report during shut-down still has a reporter.
    static MessageBoxErrorReporter reporter;
    ErrorReporter::install(&reporter);
}

QString UiStartup::plainDialogButtonsStyleSheet()
{
    return QStringLiteral("QDialogButtonBox { dialogbuttonbox-buttons-have-icons: 0; }\n");
}
