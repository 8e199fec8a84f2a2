#include "mainwidget.h"

#include "appconfig.h"
#include "appstyle.h"
#include "dialogs/settings.h"
#include "hotkeymanage.h"
#include "logcategory.h"
#include "pages/customwidget.h"
#include "pages/keyboardwidget.h"
#include "pages/mousewidget.h"
#include "pages/recordwidget.h"
#include "platform/backend.h"
#include "programversion.h"
#include "ui_mainwidget.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

const QString MainWidget::CurrentVersion = QStringLiteral("V") + programVersionText();
const QString MainWidget::HomePageUrl = QStringLiteral("https://kliqora.org");
const QString MainWidget::HelpPageUrl = QStringLiteral("https://kliqora.org/help");

namespace {
constexpr int windowWidth = 900;
constexpr int windowHeight = 650;
constexpr int logoSize = 32;
constexpr int webIconSize = 20;
constexpr int pageIconSize = 48;
const QString InputReachNoticeName = QStringLiteral("lblInputReachNotice");

// clang-format off
struct PageButtonImages { const char* selected; const char* normal; };
const PageButtonImages pageImages[] = {
    {":/images/mouse-a.svg",   ":/images/mouse-d.svg"},
    {":/images/key-a.svg",     ":/images/key-d.svg"},
    {":/images/record-a.svg",  ":/images/record-d.svg"},
    {":/images/selfdef-a.svg", ":/images/selfdef-d.svg"},
};
// clang-format on

// The style sheets name their widget, so the rule does not spread to the labels
// and buttons inside (a bottom border under the title text, for instance).
QString scoped(const QString& objectName, const QString& rules)
{
    return QStringLiteral("#%1 {%2}").arg(objectName, rules);
}
} // namespace

MainWidget::MainWidget(QWidget* parent) : DialogDrop(parent), ui(new Ui::MainWidgetClass)
{
    ui->setupUi(this);
}

MainWidget::~MainWidget()
{
    stopRunningJobs();
    delete ui;
}

QVector<TaskWidget*> MainWidget::pages() const
{
    return {m_mouseWidget, m_keyBoardWidget, m_recordWidget, m_customWidget};
}

void MainWidget::initUi()
{
    resize(windowWidth, windowHeight);
    ui->widgetTitleBar->setStyleSheet(
        scoped(QStringLiteral("widgetTitleBar"),
               QStringLiteral("border-bottom: 1px solid #ccc; background-color: #f0f0f0;"
                              "border-top-left-radius:10px; border-top-right-radius:10px")));
    ui->widgetLeft->setStyleSheet(
        scoped(QStringLiteral("widgetLeft"),
               QStringLiteral("border-right: 1px solid #ccc; background-color: #f0f0f0;")));
    ui->widgetStatusBar->setStyleSheet(
        scoped(QStringLiteral("widgetStatusBar"),
               QStringLiteral("border-top: 1px solid #ccc; background-color: #f0f0f0;"
                              "border-bottom-left-radius:10px; border-bottom-right-radius:10px")));
    ui->widgetCenter->setStyleSheet(
        scoped(QStringLiteral("widgetCenter"), QStringLiteral("background-color: white;")));

    QIcon appIcon;
    appIcon.addFile(QStringLiteral(":/images/kliqora32.png"), QSize(32, 32));
    appIcon.addFile(QStringLiteral(":/images/kliqora48.png"), QSize(48, 48));
    appIcon.addFile(QStringLiteral(":/images/kliqora256.png"), QSize(256, 256));
    setWindowIcon(appIcon);
    ui->lblLogo->setPixmap(
        QPixmap(QStringLiteral(":/images/kliqora256.png"))
            .scaled(logoSize, logoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    const QString title = tr("Kliqora妙指灵-键盘鼠标自动化输入工具");
    setWindowTitle(title);
    ui->lblAppTitle->setText(title);

    // clang-format off
    const struct { QPushButton* button; const char* image; bool pressedShift; } imageButtons[] = {
        {ui->btnMenu,     "menu",     false},
        {ui->btnMin,      "min",      false},
        {ui->btnClose,    "close",    false},
        {ui->btnHelp,     "help",     true},
        {ui->btnSettings, "settings", true},
    };
    // clang-format on
    for (const auto& entry : imageButtons) {
        const QString name = QLatin1String(entry.image);
        entry.button->setText(QString());
        entry.button->setStyleSheet(AppStyle::imageButtonStyleSheet(
            name + QStringLiteral("-d"), name + QStringLiteral("-a"), entry.pressedShift));
    }
    ui->btnHelp->setToolTip(tr("帮助"));
    ui->btnSettings->setToolTip(tr("设置"));
    // Narrower than the page buttons above them: centred in the column like those.
    for (QPushButton* button : {ui->btnHelp, ui->btnSettings})
        ui->layoutLeft->setAlignment(button, Qt::AlignHCenter);

    m_pageButtons = {ui->btnMouse, ui->btnKeyBoard, ui->btnRecord, ui->btnCustom};
    const QString pageTips[] = {tr("鼠标连点"), tr("键盘连点"), tr("键鼠录制"), tr("自定义操作")};
    for (int i = 0; i < m_pageButtons.size(); ++i) {
        QPushButton* button = m_pageButtons[i];
        button->setText(QString());
        button->setFlat(true);
        button->setStyleSheet(AppStyle::flatIconButtonStyleSheet());
        button->setIconSize(QSize(pageIconSize, pageIconSize));
        button->setIcon(QIcon(QLatin1String(pageImages[i].normal)));
        button->setToolTip(pageTips[i]);
    }

    ui->lblLatestVersionTip->setText(tr("当前版本：%1").arg(CurrentVersion));
    ui->lblWebIcon->setPixmap(
        QIcon(QStringLiteral(":/images/home.svg")).pixmap(QSize(webIconSize, webIconSize)));
    ui->lblWeb->setText(QStringLiteral("<a href=\"%1\" style=\"color:#1677ff;\">%2</a>")
                            .arg(HomePageUrl, tr("官方网站")));

    m_mouseWidget = new MouseWidget(this);
    m_keyBoardWidget = new KeyBoardWidget(this);
    m_recordWidget = new RecordWidget(this);
    m_customWidget = new CustomWidget(this);
    connect(m_recordWidget, &RecordWidget::sigConvertedToFlow, m_customWidget,
            &CustomWidget::addConvertedFlow);
    for (TaskWidget* page : pages()) {
        ui->widgetCenter->addWidget(page);
        page->hide();
    }
    showInputReach(platform::inputReach());
}

void MainWidget::showInputReach(platform::InputReach reach)
{
    delete findChild<QLabel*>(InputReachNoticeName, Qt::FindDirectChildrenOnly);
    QString text;
    switch (reach) {
    case platform::InputReach::Desktop:
        return;
    case platform::InputReach::XProgramsOnly:
        text = tr("此桌面不允许程序向其他窗口发送键盘鼠标输入：任务只能作用于 X 程序"
                  "（Xwayland）。");
        qCWarning(logCategory()) << "Jobs' input reaches X programs (Xwayland) only";
        break;
    case platform::InputReach::Nothing:
        text = tr("无法发送键盘鼠标输入：任务运行后不会有任何效果。");
        qCWarning(logCategory()) << "Jobs' input reaches nothing: no input can be sent";
        break;
    }
    auto* notice = new QLabel(text, this);
    notice->setObjectName(InputReachNoticeName);
    notice->setWordWrap(true);
    notice->setStyleSheet(QStringLiteral("background-color: #fff4e0; color: #8a4b00;"
                                         "border-bottom: 1px solid #f0c890; padding: 6px 14px;"));
    // Below the title bar, above the pages.
    ui->layoutMain->insertWidget(1, notice);
}

void MainWidget::warnRefusedHotkey(const QString& keyText)
{
    m_refusedHotkeys.append(keyText);
    if (m_refusedHotkeys.size() > 1)
        return; // told with the first
    // After the round: a desktop that refuses one key often refuses them all at once.
    QTimer::singleShot(0, this, [this] {
        const QString keys = m_refusedHotkeys.join(QStringLiteral(", "));
        m_refusedHotkeys.clear();
        QMessageBox::warning(this, tr("快捷键设置失败"),
                             tr("无法注册快捷键 %1，可能已被占用。").arg(keys));
    });
}

void MainWidget::initConnections()
{
    for (int i = 0; i < m_pageButtons.size(); ++i)
        connect(m_pageButtons[i], &QPushButton::clicked, this, [this, i] { selectPage(i); });
    connect(ui->btnSettings, &QPushButton::clicked, this, &MainWidget::onBtnSettingsClicked);
    connect(HotkeyManage::instance(), &HotkeyManage::hotkeyRefused, this,
            &MainWidget::warnRefusedHotkey);
    connect(ui->btnHelp, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(HelpPageUrl)); });
    connect(ui->btnMenu, &QPushButton::clicked, this, &MainWidget::onBtnMenuClicked);
    connect(ui->btnMin, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(ui->btnClose, &QPushButton::clicked, this, &MainWidget::onBtnCloseClicked);
    connect(ui->lblWeb, &QLabel::linkActivated, this,
            [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
    ui->btnMouse->click();
}

void MainWidget::selectPage(int index)
{
    const QVector<TaskWidget*> all = pages();
    if (index < 0 || index >= all.size() || !all[index])
        return;
    ui->widgetCenter->setCurrentWidget(all[index]);
    for (int i = 0; i < m_pageButtons.size(); ++i) {
        const char* image = i == index ? pageImages[i].selected : pageImages[i].normal;
        m_pageButtons[i]->setIcon(QIcon(QLatin1String(image)));
    }
}

void MainWidget::onBtnMenuClicked()
{
    QMenu menu(this);
    AppStyle::setupRoundedMenu(&menu);
    menu.addAction(tr("关于"), this, &MainWidget::showAbout);
    const QPoint below(ui->btnMenu->width() / 2, ui->btnMenu->height());
    menu.exec(ui->btnMenu->mapToGlobal(below));
    // The popup had the pointer: the button never saw it leave and would stay lit.
    const bool pointerOnButton =
        ui->btnMenu->rect().contains(ui->btnMenu->mapFromGlobal(QCursor::pos()));
    ui->btnMenu->setAttribute(Qt::WA_UnderMouse, pointerOnButton);
    ui->btnMenu->update();
}

void MainWidget::showAbout()
{
    const QString title = tr("Kliqora妙指灵-键盘鼠标自动化输入工具");
    const QString text = QStringLiteral("<h3>") + title + QStringLiteral("</h3>") +
                         tr("<p>Kliqora妙指灵是一款免费的键盘鼠标自动化输入工具。请在遵守法律法规和"
                            "各软件使用条款的前提下使用。</p>") +
                         tr("<p>官方网站：<a href=\"%1\">%1</a></p>").arg(HomePageUrl) +
                         tr("<p>联系我们：support@kliqora.org</p>");
    QMessageBox::about(this, title, text);
}

void MainWidget::onBtnSettingsClicked()
{
    Settings dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AppConfig* config = AppConfig::instance();
    config->saveFilePath = dialog.savePath();
    config->btnCloseAction = dialog.closeAction();
    config->language = dialog.language();
    config->save();
}

bool MainWidget::canHideToTray() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MainWidget::onBtnCloseClicked()
{
    switch (AppConfig::instance()->btnCloseAction) {
    case 0:
        if (canHideToTray()) {
            hide();
        } else {
            // Hidden without a tray icon the window could never be reached again.
            qCInfo(logCategory()) << "No system tray available, minimising instead of hiding";
            showMinimized();
        }
        break;
    case 1:
        quitApplication();
        break;
    default:
        break;
    }
}

void MainWidget::onShowMainWidget()
{
    showNormal();
    activateWindow();
    raise();
}

void MainWidget::onTrayActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        onShowMainWidget();
}

void MainWidget::onTrayExitApp()
{
    quitApplication();
}

void MainWidget::quitApplication()
{
    stopRunningJobs();
    // Ends the event loop and nothing else, on every Qt: Qt 6's quit() would first
    // close every window, and a window that refuses would cancel the exit.
    QCoreApplication::exit(0);
}

void MainWidget::stopRunningJobs()
{
    for (TaskWidget* page : pages()) {
        if (!page)
            continue;
        if (page->isRunning())
            qCInfo(logCategory()) << "Stopping the running job before quitting";
        page->stopTaskForExit(); // also joins a worker told to stop elsewhere
    }
    if (const unsigned released = platform::releaseHeldInput())
        qCInfo(logCategory()) << "Released" << released << "keys and buttons left down by jobs";
}

void MainWidget::onSetUpdateInfo(qint32 version)
{
    const int major = version / 100;
    const int minor = (version % 100) / 10;
    const int patch = version % 10;
    ui->lblLatestVersionTip->setText(
        tr("V%1.%2.%3版本已发布，建议到官网下载最新版本").arg(major).arg(minor).arg(patch));
    ui->lblLatestVersionTip->setVisible(true);
}
