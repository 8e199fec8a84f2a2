// The program's keys through the desktop portal's GlobalShortcuts, against a stand-in
// portal on the test's own session bus, in a session that looks like a Wayland
// desktop without sway: the pages' keys are bound under the jobs' names, the first
// press of the clicker's key starts its job and a second one stops it (as on X11),
// and keys the desktop refuses are told to the user once.

#include "fakeshortcutsportal.h"
#include "mainwidget.h"
#include "pages/mousewidget.h"
#include "qhotkey.h"
#include "recordingbackend.h"
#include "testenvironment.h"

#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

constexpr int AnswerTimeoutMs = 5000;

QStringList ids(const QList<FakeShortcutsPortal::Shortcut>& shortcuts)
{
    QStringList found;
    for (const FakeShortcutsPortal::Shortcut& shortcut : shortcuts)
        found << shortcut.id;
    return found;
}

QString descriptionOf(const QList<FakeShortcutsPortal::Shortcut>& shortcuts, const QString& id)
{
    for (const FakeShortcutsPortal::Shortcut& shortcut : shortcuts) {
        if (shortcut.id == id)
            return shortcut.properties.value(QStringLiteral("description")).toString();
    }
    return QString();
}

} // namespace

class TestPortalHotkeyJob : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void secondPressStopsTheJobTheFirstStarted();
    void refusedKeysAreToldOnce();

private:
    void openWindow();

    FakeShortcutsPortal m_portal;
    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<MainWidget> m_window;
};

void TestPortalHotkeyJob::initTestCase()
{
    QVERIFY2(m_portal.start(), "no session bus of the test's own (run through ctest)");
}

void TestPortalHotkeyJob::init()
{
    m_backend = std::make_unique<ScopedRecordingBackend>();
    m_portal.answerBinds(0);
}

void TestPortalHotkeyJob::cleanup()
{
    m_window.reset();
    m_backend.reset();
}

void TestPortalHotkeyJob::openWindow()
{
    m_window = std::make_unique<MainWidget>();
    m_window->initUi();
    m_window->initConnections();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestPortalHotkeyJob::secondPressStopsTheJobTheFirstStarted()
{
    openWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!m_portal.binds().isEmpty(), AnswerTimeoutMs);
    const QList<FakeShortcutsPortal::Shortcut> bound = m_portal.binds().last();
    QVERIFY2(ids(bound).contains(QStringLiteral("F2")), qPrintable(ids(bound).join(' ')));
    QCOMPARE(descriptionOf(bound, QStringLiteral("F2")), QStringLiteral("鼠标连点"));
    QCOMPARE(descriptionOf(bound, QStringLiteral("F3")), QStringLiteral("键盘连点"));
    MouseWidget* clicker = m_window->mouseWidget();

    m_portal.activate(m_portal.lastSession(), QStringLiteral("F2"));
    QTRY_VERIFY_WITH_TIMEOUT(clicker->isRunning(), AnswerTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!(*m_backend)->batches().empty(), AnswerTimeoutMs);
    m_portal.deactivate(m_portal.lastSession(), QStringLiteral("F2"));
    m_portal.activate(m_portal.lastSession(), QStringLiteral("F2"));
    QTRY_VERIFY_WITH_TIMEOUT(!clicker->isRunning(), AnswerTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), AnswerTimeoutMs);
}

void TestPortalHotkeyJob::refusedKeysAreToldOnce()
{
    m_portal.answerBinds(1); // the user said no
    // Closes every message box, from inside the loop the box runs.
    QStringList boxes;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->windowTitle() + QLatin1Char('|') + box->text();
            box->accept();
        }
    });
    closer.start(20);
    openWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.isEmpty(), AnswerTimeoutMs);
    QTest::qWait(300);
    QCOMPARE(boxes.size(), 1); // one box for all of them
    QVERIFY2(boxes[0].startsWith(QStringLiteral("快捷键设置失败|无法注册快捷键 ")),
             qPrintable(boxes[0]));
    for (const char* key : {"F2", "F3"})
        QVERIFY2(boxes[0].contains(QLatin1String(key)), qPrintable(boxes[0]));
    QVERIFY(!m_window->mouseWidget()->hotkey()->isRegistered());
}

KLIQORA_TEST_MAIN(TestPortalHotkeyJob)
#include "tst_portalhotkeyjob.moc"
