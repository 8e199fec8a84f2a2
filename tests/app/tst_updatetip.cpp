// The update check's answer from a real HTTPS server, as the user sees it in the
// main window's status bar.

#include "mainwidget.h"
#include "testcertificate.h"
#include "testenvironment.h"
#include "updatecheck.h"
#include "versionserver.h"

#include <QFutureWatcher>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kCheckWaitMs = 20000;
}

class TestUpdateTip : public QObject
{
    Q_OBJECT

private slots:
    void statusBarShowsOnlyNewerVersions_data();
    void statusBarShowsOnlyNewerVersions();
};

void TestUpdateTip::statusBarShowsOnlyNewerVersions_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("tip");

    const QString current = QStringLiteral("当前版本：V2.0.0");
    QTest::newRow("newer") << QByteArray("201")
                           << QStringLiteral("V2.0.1版本已发布，建议到官网下载最新版本");
    QTest::newRow("same") << QByteArray("200") << current;
    QTest::newRow("older") << QByteArray("150") << current;
    QTest::newRow("not a number") << QByteArray("V2.0.1") << current;
}

void TestUpdateTip::statusBarShowsOnlyNewerVersions()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, tip);

    const TestCertificate certificate({QStringLiteral("IP:127.0.0.1")});
    QVERIFY(certificate.isValid());
    VersionServer server(certificate, 200, body.toStdString());
    QVERIFY(server.isListening());

    MainWidget window;
    window.initUi();
    auto* label = window.findChild<QLabel*>(QStringLiteral("lblLatestVersionTip"));
    QVERIFY(label);

    UpdateCheckOptions options;
    options.server = server.address();
    options.caCertFile = certificate.certificateFile();
    startUpdateCheck(&window, options);
    auto* watcher = window.findChild<QFutureWatcherBase*>();
    QVERIFY(watcher);
    QSignalSpy finished(watcher, &QFutureWatcherBase::finished);
    QVERIFY(finished.wait(kCheckWaitMs));
    QCoreApplication::processEvents(); // the queued onSetUpdateInfo, if any

    QCOMPARE(label->text(), tip);
    QCOMPARE(server.requests(), 1);
}

KLIQORA_TEST_MAIN(TestUpdateTip)

#include "tst_updatetip.moc"
