// The main window, its frame and the tray: page navigation, the close action, tray
// activation, the update tip, and the frameless window's drag and Escape handling.

#include "appconfig.h"
#include "mainwidget.h"
#include "pages/customwidget.h"
#include "pages/keyboardwidget.h"
#include "pages/mousewidget.h"
#include "pages/recordwidget.h"
#include "platform/backend.h"
#include "systemtray.h"
#include "testenvironment.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(platform::InputReach)

namespace {
// The main window with the tray's presence decided by the test.
class TestMainWidget : public MainWidget
{
public:
    bool trayAvailable = true;

protected:
    bool canHideToTray() const override { return trayAvailable; }
};

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Runs the event loop until the application is told to quit; false on time-out.
bool quitsWithin(int ms)
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(ms);
    return QCoreApplication::exec() == 0;
}
} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnMousePageWithActiveIcon();
    void pageButtonsSwitchPagesAndIcons();
    void closeButton_data();
    void closeButton();
    void trayActivation_data();
    void trayActivation();
    void updateTip_data();
    void updateTip();
    void inputReachNotice_data();
    void inputReachNotice();
    void escapeDoesNotClose();
    void dragsByTitleBandOnly_data();
    void dragsByTitleBandOnly();
    void paintsShadowAroundRoundedBody();
    void trayMenuEmitsSignals();

private:
    QPushButton* button(const char* name) const
    {
        return m_window->findChild<QPushButton*>(QLatin1String(name));
    }

    std::unique_ptr<TestMainWidget> m_window;
};

void TestFrame::init()
{
    AppConfig::instance()->btnCloseAction = 0;
    m_window = std::make_unique<TestMainWidget>();
    m_window->initUi();
    m_window->initConnections();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestFrame::cleanup()
{
    m_window.reset();
}

void TestFrame::opensOnMousePageWithActiveIcon()
{
    auto* center = m_window->findChild<QStackedWidget*>(QStringLiteral("widgetCenter"));
    QVERIFY(center);
    QCOMPARE(center->currentWidget(), m_window->mouseWidget());
    QCOMPARE(iconImage(button("btnMouse")->icon()),
             iconImage(QIcon(QStringLiteral(":/images/mouse-a.svg"))));
    QCOMPARE(iconImage(button("btnKeyBoard")->icon()),
             iconImage(QIcon(QStringLiteral(":/images/key-d.svg"))));
    QVERIFY(iconImage(QIcon(QStringLiteral(":/images/mouse-a.svg"))) !=
            iconImage(QIcon(QStringLiteral(":/images/mouse-d.svg"))));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Kliqora妙指灵-键盘鼠标自动化输入工具"));
}

void TestFrame::pageButtonsSwitchPagesAndIcons()
{
    auto* center = m_window->findChild<QStackedWidget*>(QStringLiteral("widgetCenter"));
    // clang-format off
    const struct { const char* button; QWidget* page; const char* image; } rows[] = {
        {"btnKeyBoard", m_window->keyBoardWidget(), "key"},
        {"btnRecord",   m_window->recordWidget(),   "record"},
        {"btnCustom",   m_window->customWidget(),   "selfdef"},
        {"btnMouse",    m_window->mouseWidget(),    "mouse"},
    };
    // clang-format on
    for (const auto& row : rows) {
        QTest::mouseClick(button(row.button), Qt::LeftButton);
        QCOMPARE(center->currentWidget(), row.page);
        for (const auto& other : rows) {
            const QString image =
                QStringLiteral(":/images/%1-%2.svg")
                    .arg(QLatin1String(other.image),
                         other.page == row.page ? QStringLiteral("a") : QStringLiteral("d"));
            QVERIFY2(iconImage(button(other.button)->icon()) == iconImage(QIcon(image)),
                     qPrintable(QLatin1String(row.button) + QStringLiteral(": ") + image));
        }
    }
}

void TestFrame::closeButton_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<bool>("quits");

    QTest::newRow("0 hides to the tray") << 0 << true << false << false << false;
    QTest::newRow("0 without a tray minimises") << 0 << false << true << true << false;
    QTest::newRow("1 quits") << 1 << true << true << false << true;
    QTest::newRow("2 does nothing") << 2 << true << true << false << false;
    QTest::newRow("-1 does nothing") << -1 << true << true << false << false;
}

void TestFrame::closeButton()
{
    QFETCH(int, action);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, visible);
    QFETCH(bool, minimized);
    QFETCH(bool, quits);

    AppConfig::instance()->btnCloseAction = action;
    m_window->trayAvailable = trayAvailable;
    QTimer::singleShot(0, button("btnClose"), &QPushButton::click);
    QCOMPARE(quitsWithin(300), quits);
    QCOMPARE(m_window->isVisible(), visible);
    QCOMPARE(m_window->isMinimized(), minimized);
}

void TestFrame::trayActivation_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("shows");
    QTest::newRow("Unknown") << int(QSystemTrayIcon::Unknown) << false;
    QTest::newRow("Context") << int(QSystemTrayIcon::Context) << false;
    QTest::newRow("DoubleClick") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("Trigger") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("MiddleClick") << int(QSystemTrayIcon::MiddleClick) << false;
}

void TestFrame::trayActivation()
{
    QFETCH(int, reason);
    QFETCH(bool, shows);
    m_window->hide();
    SystemTray tray(m_window.get());
    connect(&tray, &QSystemTrayIcon::activated, m_window.get(), &MainWidget::onTrayActived);
    emit tray.activated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(m_window->isVisible(), shows);
}

void TestFrame::updateTip_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("213") << 213 << QStringLiteral("V2.1.3版本已发布，建议到官网下载最新版本");
    QTest::newRow("300") << 300 << QStringLiteral("V3.0.0版本已发布，建议到官网下载最新版本");
    QTest::newRow("1000") << 1000 << QStringLiteral("V10.0.0版本已发布，建议到官网下载最新版本");
}

void TestFrame::updateTip()
{
    QFETCH(int, version);
    QFETCH(QString, text);
    auto* tip = m_window->findChild<QLabel*>(QStringLiteral("lblLatestVersionTip"));
    QVERIFY(tip);
    QCOMPARE(tip->text(), QStringLiteral("当前版本：V2.0.0"));
    tip->hide();
    // The update check calls by name, queued, with a qint32 argument.
    QVERIFY(QMetaObject::invokeMethod(m_window.get(), "onSetUpdateInfo", Qt::QueuedConnection,
                                      Q_ARG(qint32, version)));
    QTRY_COMPARE(tip->text(), text);
    QVERIFY(tip->isVisible());
}

void TestFrame::inputReachNotice_data()
{
    QTest::addColumn<platform::InputReach>("reach");
    QTest::addColumn<QString>("text"); // empty: no notice
    QTest::addColumn<QByteArray>("log");
    QTest::newRow("desktop") << platform::InputReach::Desktop << QString() << QByteArray();
    QTest::newRow("X programs only")
        << platform::InputReach::XProgramsOnly
        << QStringLiteral("此桌面不允许程序向其他窗口发送键盘鼠标输入：任务只能作用于 X 程序"
                          "（Xwayland）。")
        << QByteArray("Jobs' input reaches X programs (Xwayland) only");
    QTest::newRow("nothing") << platform::InputReach::Nothing
                             << QStringLiteral("无法发送键盘鼠标输入：任务运行后不会有任何效果。")
                             << QByteArray("Jobs' input reaches nothing: no input can be sent");
}

void TestFrame::inputReachNotice()
{
    QFETCH(platform::InputReach, reach);
    QFETCH(QString, text);
    QFETCH(QByteArray, log);
    const QString name = QStringLiteral("lblInputReachNotice");
    // The window opened with the notice of this session's own reach.
    QCOMPARE(m_window->findChildren<QLabel*>(name).size(),
             platform::inputReach() == platform::InputReach::Desktop ? 0 : 1);

    if (!log.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, log.constData());
        QTest::ignoreMessage(QtWarningMsg, log.constData());
    }
    m_window->showInputReach(reach);
    m_window->showInputReach(reach); // said once, however often it is asked
    const QList<QLabel*> notices = m_window->findChildren<QLabel*>(name);
    if (text.isEmpty()) {
        QVERIFY(notices.isEmpty());
        return;
    }
    QCOMPARE(notices.size(), 1);
    QLabel* notice = notices.first();
    QCOMPARE(notice->text(), text);
    QTRY_VERIFY(notice->isVisible());
    // Between the title bar and the pages, across the window.
    const auto* titleBar = m_window->findChild<QWidget*>(QStringLiteral("widgetTitleBar"));
    const auto* center = m_window->findChild<QWidget*>(QStringLiteral("widgetCenter"));
    const int noticeTop = notice->mapTo(m_window.get(), QPoint()).y();
    QVERIFY(noticeTop >= titleBar->mapTo(m_window.get(), QPoint(0, titleBar->height())).y());
    QVERIFY(center->mapTo(m_window.get(), QPoint()).y() >= noticeTop + notice->height());
    QCOMPARE(notice->width(), titleBar->width());

    m_window->showInputReach(platform::InputReach::Desktop);
    QVERIFY(!m_window->findChild<QLabel*>(name));
}

void TestFrame::escapeDoesNotClose()
{
    QSignalSpy rejected(m_window.get(), &QDialog::rejected);
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QCOMPARE(rejected.count(), 0);
    QVERIFY(m_window->isVisible());
}

void TestFrame::dragsByTitleBandOnly_data()
{
    QTest::addColumn<int>("pressY");
    QTest::addColumn<bool>("moves");
    QTest::newRow("top edge") << 0 << true;
    QTest::newRow("title bar") << 30 << true;
    QTest::newRow("last row of the band") << 50 << true;
    QTest::newRow("below the band") << 51 << false;
    QTest::newRow("page area") << 300 << false;
}

void TestFrame::dragsByTitleBandOnly()
{
    QFETCH(int, pressY);
    QFETCH(bool, moves);
    const QPoint start = m_window->pos();
    const QPoint local(400, pressY);
    const QPoint delta(37, 21);
    // Events straight to the window: what reaches it when a child does not take the press.
    QMouseEvent press(QEvent::MouseButtonPress, local, m_window->mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &press);
    QMouseEvent move(QEvent::MouseMove, local + delta, m_window->mapToGlobal(local) + delta,
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + delta,
                        m_window->mapToGlobal(local) + delta, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &release);
    QCOMPARE(m_window->pos(), moves ? start + delta : start);

    // After the release, moving with the button up moves nothing.
    const QPoint afterRelease = m_window->pos();
    QMouseEvent hover(QEvent::MouseMove, local, m_window->mapToGlobal(local), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &hover);
    QCOMPARE(m_window->pos(), afterRelease);
}

void TestFrame::paintsShadowAroundRoundedBody()
{
    const QImage image = m_window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    QCOMPARE(QSize(w, h), m_window->size());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // outside the outermost outline
    const int shadow = qAlpha(image.pixel(5, h / 2));
    QVERIFY2(shadow > 0 && shadow < 200, qPrintable(QString::number(shadow)));
    QVERIFY(qAlpha(image.pixel(2, h / 2)) < qAlpha(image.pixel(8, h / 2)));
    // The rounded corner of the body leaves its corner pixel transparent.
    QVERIFY(qAlpha(image.pixel(10, 10)) < 255);
    QCOMPARE(QColor(image.pixel(20, h / 2)), QColor(QStringLiteral("#f0f0f0")));
}

void TestFrame::trayMenuEmitsSignals()
{
    SystemTray tray;
    QVERIFY(tray.contextMenu());
    const QList<QAction*> actions = tray.contextMenu()->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[0]->text(), QStringLiteral("打开主界面"));
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[2]->text(), QStringLiteral("退出Kliqora妙指灵"));
    QVERIFY(!actions[0]->icon().isNull() && !actions[2]->icon().isNull());
    QCOMPARE(tray.toolTip(), QStringLiteral("Kliqora妙指灵-键盘鼠标自动化输入工具"));
    QVERIFY(!tray.icon().isNull());

    QSignalSpy show(&tray, &SystemTray::sig_showMainWidget);
    QSignalSpy close(&tray, &SystemTray::sig_closeApp);
    actions[0]->trigger();
    QCOMPARE(show.count(), 1);
    QCOMPARE(close.count(), 0);
    actions[2]->trigger();
    QCOMPARE(close.count(), 1);
}

KLIQORA_TEST_MAIN(TestFrame)
#include "tst_mainwidget.moc"
