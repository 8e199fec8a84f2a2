#include "appstyle.h"

#include <QGuiApplication>
#include <QMenu>

#if defined(Q_OS_LINUX)
#include "platform/qtx11.h"
#endif

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initKliqoraResources()
{
    Q_INIT_RESOURCE(kliqora);
}

namespace AppStyle {

void initResources()
{
    static const bool done = (initKliqoraResources(), true);
    Q_UNUSED(done)
}

namespace {
// The one push-button look; %1 is the selector of the buttons it applies to.
QString buttonRules(const QString& selector)
{
    return QStringLiteral(R"(
%1 {
    border: 1px solid #8a8a8a;
    background-color: #f0f0f0;
    border-radius: 4px;
    padding: 4px;
    min-width: 70px;
}
%1:hover {
    background-color: #e0e0e0;
    border: 1px solid #999999;
}
%1:pressed {
    background-color: #d0d0d0;
    border: 1px solid #888888;
    padding: 9px 7px 7px 9px;
}
)")
        .arg(selector);
}
} // namespace

QString messageBoxStyleSheet()
{
    return QStringLiteral("QMessageBox {\n    border-radius: 8px;\n}\n") +
           buttonRules(QStringLiteral("QMessageBox QPushButton"));
}

QString pushButtonStyleSheet()
{
    return buttonRules(QStringLiteral("QPushButton")) +
           QStringLiteral("QPushButton:disabled{ background-color: #cccccc; color: #666666; }\n");
}

QString menuStyleSheet()
{
    return QStringLiteral(R"(
QMenu {
    background-color: white;
    border: 1px solid #ccc;
    border-radius: 10px;
    padding: 4px;
}
QMenu::item {
    padding: 4px 20px 4px 10px;
}
QMenu::item:selected {
    background-color: #E6F7FF;
    color: #333333;
    border-radius: 6px;
}
QMenu::separator {
    height: 1px;
    background: #e6e6e6;
    margin: 4px 8px;
}
)");
}

QString imageButtonStyleSheet(const QString& normal, const QString& hover, bool pressedShift)
{
    QString sheet = QStringLiteral("QPushButton {border: none; background: transparent; "
                                   "image: url(:/images/%1.svg);}\n"
                                   "QPushButton:hover {image: url(:/images/%2.svg);}\n")
                        .arg(normal, hover);
    if (pressedShift)
        sheet += QStringLiteral("QPushButton:pressed {padding: 3px 2px 2px 3px;}\n");
    return sheet;
}

bool translucentWindowsSupported()
{
#if defined(Q_OS_LINUX)
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return platform::qtx11::compositingManagerRunning();
#endif
    return true;
}

void setupRoundedMenu(QMenu* menu)
{
    menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint);
    if (translucentWindowsSupported())
        menu->setAttribute(Qt::WA_TranslucentBackground);
    menu->setStyleSheet(menuStyleSheet());
}

QString flatIconButtonStyleSheet()
{
    return QStringLiteral("QPushButton {border: none; background: transparent;}\n"
                          "QPushButton:pressed {padding: 9px 7px 7px 9px;}\n");
}

QString pageButtonStyleSheet()
{
    return QStringLiteral(
        "QPushButton {border: 1px solid #8a8a8a; background-color: #f0f0f0; border-radius: 4px; "
        "padding: 4px;}"
        "QPushButton:hover {background-color: #e0e0e0; border: 1px solid #999999;}"
        "QPushButton:pressed {background-color: #d0d0d0; border: 1px solid #888888; "
        "padding: 9px 7px 7px 9px;}"
        "QPushButton:disabled {background-color: #cccccc; color: #666666;}");
}

QString lineEditStyleSheet()
{
    return QStringLiteral("QLineEdit {border: 1px solid #ccc; border-radius: 4px; padding: 4px; "
                          "background-color: white;}");
}

} // namespace AppStyle
