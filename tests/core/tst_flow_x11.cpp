// Flow hotkeys against a real X server: a second load re-registers the same
// object, and the registered key reaches the flow as sigHotkeyActivated.

#include "flow.h"
#include "operationfactory.h"
#include "testenvironment.h"

#include <QDataStream>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

QString writeFlowFile(const QString& path, const QString& hotkey)
{
    Flow flow;
    flow.setName(QStringLiteral("x11"));
    flow.setHotkey(hotkey);
    return flow.save(path) ? path : QString();
}

// Messages of the "kliqora" category while it lives.
class LogCapture
{
public:
    LogCapture() { m_previous = qInstallMessageHandler(&LogCapture::handler); }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    static inline QStringList lines;

private:
    static void handler(QtMsgType, const QMessageLogContext& context, const QString& msg)
    {
        if (qstrcmp(context.category, "kliqora") == 0)
            lines << msg;
    }
    QtMessageHandler m_previous;
};

} // namespace

class TestFlowX11 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        if (!QHotkey::isPlatformSupported())
            QSKIP("needs global hotkeys (an X server)");
        OperationFactory::instance()->registerBuiltinOperations();
    }

    void secondLoadReRegistersTheSameObject()
    {
        const QString file =
            writeFlowFile(m_dir.filePath(QStringLiteral("f.flw")), QStringLiteral("Ctrl+Alt+F9"));
        QVERIFY(!file.isEmpty());
        Flow flow;
        QVERIFY(flow.load(file));
        QHotkey* hotkey = flow.hotkeyObject();
        QVERIFY(hotkey);
        QVERIFY(hotkey->isRegistered());

        LogCapture log;
        LogCapture::lines.clear();
        QVERIFY(flow.load(file));
        QCOMPARE(flow.hotkeyObject(), hotkey);
        QVERIFY(hotkey->isRegistered());
        QCOMPARE(flow.findChildren<QHotkey*>().size(), 1);
        QVERIFY(LogCapture::lines.contains(
            QStringLiteral("Hotkey registe successfully, hotkey is Ctrl+Alt+F9")));

        // Another flow with the same key cannot take it; that path stays quiet.
        Flow other;
        LogCapture::lines.clear();
        QVERIFY(other.load(file));
        QVERIFY(other.hotkeyObject());
        QVERIFY(!other.hotkeyObject()->isRegistered());
        QVERIFY(
            !LogCapture::lines.join(QLatin1Char('\n')).contains(QStringLiteral("Hotkey registe")));
    }

    void changedHotkeyMovesTheGrab()
    {
        const QString file =
            writeFlowFile(m_dir.filePath(QStringLiteral("g.flw")), QStringLiteral("Ctrl+Alt+F7"));
        Flow flow;
        QVERIFY(flow.load(file));
        QHotkey* hotkey = flow.hotkeyObject();
        QVERIFY(hotkey && hotkey->isRegistered());

        writeFlowFile(file, QStringLiteral("Ctrl+Alt+F6"));
        QVERIFY(flow.load(file));
        QCOMPARE(flow.hotkeyObject(), hotkey);
        QCOMPARE(hotkey->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+F6")));
        QVERIFY(hotkey->isRegistered());

        // The old key is free again.
        QHotkey probe(QKeySequence(QStringLiteral("Ctrl+Alt+F7")), true);
        QVERIFY(probe.isRegistered());
    }
};

KLIQORA_TEST_MAIN(TestFlowX11)
#include "tst_flow_x11.moc"
