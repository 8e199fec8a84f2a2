// A real flow run on a Wayland desktop (headless sway, or headless mutter through its
// remote-desktop service): its clicks land on their pixels and its text and keys
// arrive whole at a Wayland program, from the job's thread, as in the main program
// and the designer's test run.

#include "appconfig.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "waylandclientlog.h"
#include "waylandsession.h"

#include "platform/backend.h"

#include <QtTest>

#include <thread>

namespace {

constexpr int LeftButton = 0x110;
constexpr int RightButton = 0x111;
#ifdef KLIQORA_ON_MUTTER
// mutter types only characters with a key in the user's layout.
const QString FlowText = QStringLiteral("Flow: 1 + 1 = 2 ~ ok");
#else
const QString FlowText = QStringLiteral("流程 flow ✓ 😀");
#endif

void moveTo(int x, int y)
{
    const platform::Input move =
        platform::Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                    x * 65535 / 1280, y * 65535 / 800);
    platform::sendInput(&move, 1);
}

template <typename T> T* add(Flow& flow)
{
    auto* op = new T(&flow);
    op->setInterval(0);
    flow.operations().append(op);
    return op;
}

} // namespace

class TestWaylandFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void flowClicksAndTypesAtTheProgram();

private:
    WaylandClientLog m_client;
};

void TestWaylandFlow::initTestCase()
{
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    QCOMPARE(QString::fromLatin1(platform::backend().name()), QStringLiteral("wayland"));
    QVERIFY(m_client.start());
    QVERIFY(m_client.waitUntilPlaced(moveTo));
}

void TestWaylandFlow::flowClicksAndTypesAtTheProgram()
{
    Flow flow;
    auto* click = add<MouseClickOperation>(flow);
    click->setPosition(QPoint(200, 150));
    add<TextInputOperation>(flow)->setText(FlowText);
    auto* selectAll = add<KeyboardOperation>(flow);
    selectAll->setKey(QStringLiteral("A"));
    selectAll->setModifiers(Qt::ControlModifier);
    selectAll->setEventType(KeyboardOperation::Tap);
    add<MouseMoveOperation>(flow)->setPosition(QPoint(1279, 799));
    auto* doubleRight = add<MouseClickOperation>(flow);
    doubleRight->setPosition(QPoint(1000, 700));
    doubleRight->setClickType(MouseClickOperation::DoubleClick);
    doubleRight->setClickButton(MouseClickOperation::RightButton);

    AppConfig::runFlag = true;
    std::thread job([&flow] { flow.run(); });
    QVERIFY(
        m_client.waitFor(wholeLine(QStringLiteral("button %1 released .*").arg(RightButton)), 2));
    job.join();
    AppConfig::runFlag = false;

    const QStringList buttons = m_client.matching(wholeLine(QStringLiteral("button .*")));
    QCOMPARE(buttons,
             (QStringList{QStringLiteral("button %1 pressed 200 150").arg(LeftButton),
                          QStringLiteral("button %1 released 200 150").arg(LeftButton),
                          QStringLiteral("button %1 pressed 1000 700").arg(RightButton),
                          QStringLiteral("button %1 released 1000 700").arg(RightButton),
                          QStringLiteral("button %1 pressed 1000 700").arg(RightButton),
                          QStringLiteral("button %1 released 1000 700").arg(RightButton)}));
    QVERIFY(!m_client.matching(wholeLine(QStringLiteral("motion 1279 799"))).isEmpty());
    // Ctrl+A comes out as its control character.
    QCOMPARE(m_client.typedText(), FlowText + QChar(0x01));
    // Ctrl was held around the A, and only around it.
    QVERIFY(!m_client.matching(wholeLine(QStringLiteral("modifiers 4 0"))).isEmpty());
    QCOMPARE(m_client.matching(wholeLine(QStringLiteral("modifiers .*"))).last(),
             QStringLiteral("modifiers 0 0"));
    QVERIFY(m_client.keysDown().isEmpty());
    QVERIFY(m_client.buttonsDown().isEmpty());
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestWaylandFlow)
#include "tst_waylandflow.moc"
