// Kliqora --run on a GNOME-like desktop whose only way in is the desktop portal
// (here headless mutter for the display, with mutter's own service out of reach and a
// stand-in portal on the test's session bus): the run offers the permission the
// window's runs were given (the restore token in the settings) so the desktop need
// not ask again, keeps the fresh token the portal hands back, and writes nothing else.

#include "appconfig.h"
#include "fakeportal.h"
#include "flow.h"
#include "mouseclickoperation.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "waylandsession.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

constexpr int RunTimeoutMs = 30000;
constexpr int LeftButton = 0x110;
const QString TokenKey = QStringLiteral("RemoteDesktopRestoreToken");

QByteArray settingsFileContent()
{
    QFile file(AppConfig::openSettings()->fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPortalHeadlessRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void runReusesAndRenewsTheRestoreToken();
    void runWithoutTokenWritesNoSettings_data();
    void runWithoutTokenWritesNoSettings();

private:
    // Runs Kliqora --run on the flow while this thread serves the portal; its status.
    int runFlow();

    FakePortal m_portal;
    QString m_flowFile;
};

void TestPortalHeadlessRun::initTestCase()
{
    // The display is mutter's; the session bus stays the test's own, where mutter's
    // service is not and the stand-in portal is.
    const QByteArray ownBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    QVERIFY2(!ownBus.isEmpty(), "no session bus of the test's own (run through ctest)");
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    qputenv("DBUS_SESSION_BUS_ADDRESS", ownBus);
    QVERIFY(m_portal.registerOn(QDBusConnection::sessionBus()));

    Flow flow;
    flow.setName(QStringLiteral("portal run"));
    auto* click = new MouseClickOperation;
    click->setPosition(QPoint(100, 200));
    auto* text = new TextInputOperation;
    text->setText(QStringLiteral("ok"));
    for (Operation* op : {static_cast<Operation*>(click), static_cast<Operation*>(text)}) {
        op->setParent(&flow);
        flow.operations().append(op);
    }
    m_flowFile = QDir::home().filePath(QStringLiteral("portal.flw"));
    QVERIFY(flow.save(m_flowFile));
}

void TestPortalHeadlessRun::init()
{
    m_portal.calls.clear();
    QFile::remove(AppConfig::openSettings()->fileName());
}

int TestPortalHeadlessRun::runFlow()
{
    QProcess kliqora;
    kliqora.setProcessChannelMode(QProcess::ForwardedChannels);
    kliqora.start(QStringLiteral(KLIQORA_PROGRAM), {QStringLiteral("--run"), m_flowFile});
    if (!kliqora.waitForStarted() ||
        !QTest::qWaitFor([&] { return kliqora.state() == QProcess::NotRunning; }, RunTimeoutMs)) {
        kliqora.kill();
        kliqora.waitForFinished();
        return -1;
    }
    return kliqora.exitStatus() == QProcess::NormalExit ? kliqora.exitCode() : -1;
}

void TestPortalHeadlessRun::runReusesAndRenewsTheRestoreToken()
{
    m_portal.version = 2;
    m_portal.restoreToken = QStringLiteral("fresh-token");
    {
        auto settings = AppConfig::openSettings();
        settings->setValue(TokenKey, QStringLiteral("given-before"));
        settings->setValue(QStringLiteral("SaveFilePath"), QStringLiteral("kept as it is"));
    }

    QCOMPARE(runFlow(), 0);
    const QVariantMap devices = m_portal.optionsOf(QStringLiteral("SelectDevices"));
    QCOMPARE(devices.value(QStringLiteral("restore_token")).toString(),
             QStringLiteral("given-before"));
    QCOMPARE(devices.value(QStringLiteral("persist_mode")).toUInt(), 2u);
    // The flow's input went through the session the permission opened.
    QCOMPARE(m_portal.notifications(QStringLiteral("NotifyPointerButton")),
             (QList<QList<QVariant>>{{LeftButton, 1u}, {LeftButton, 0u}}));
    QVERIFY(m_portal.members().contains(QStringLiteral("NotifyKeyboardKeysym")));

    // The token the portal took is spent: the fresh one replaces it, and only that.
    auto settings = AppConfig::openSettings();
    QCOMPARE(settings->value(TokenKey).toString(), QStringLiteral("fresh-token"));
    QCOMPARE(settings->allKeys(), (QStringList{TokenKey, QStringLiteral("SaveFilePath")}));
    QCOMPARE(settings->value(QStringLiteral("SaveFilePath")).toString(),
             QStringLiteral("kept as it is"));
}

void TestPortalHeadlessRun::runWithoutTokenWritesNoSettings_data()
{
    QTest::addColumn<uint>("version");
    QTest::addColumn<bool>("settingsExist");
    // Debian 12's portal keeps no permission: it asks at every run.
    QTest::newRow("version 1, no settings") << 1u << false;
    QTest::newRow("version 1, settings") << 1u << true;
    QTest::newRow("version 2 handing no token") << 2u << true;
}

void TestPortalHeadlessRun::runWithoutTokenWritesNoSettings()
{
    QFETCH(uint, version);
    QFETCH(bool, settingsExist);
    m_portal.version = version;
    m_portal.restoreToken.clear();
    if (settingsExist)
        AppConfig::openSettings()->setValue(QStringLiteral("SaveFilePath"), QStringLiteral("x"));
    const QByteArray before = settingsFileContent();

    QCOMPARE(runFlow(), 0);
    QVERIFY(!m_portal.optionsOf(QStringLiteral("SelectDevices"))
                 .contains(QStringLiteral("restore_token")));
    QCOMPARE(m_portal.notifications(QStringLiteral("NotifyPointerButton")).size(), 2);
    QCOMPARE(settingsFileContent(), before);
    QCOMPARE(QFile::exists(AppConfig::openSettings()->fileName()), settingsExist);
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestPortalHeadlessRun)
#include "tst_portalheadlessrun.moc"
