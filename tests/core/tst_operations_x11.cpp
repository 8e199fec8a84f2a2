// Real operations against a real window on an X server: what the user's programs
// would receive when a flow runs.

#include "appconfig.h"
#include "keyboardoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "qtcompat.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include "platform/backend.h"

#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWidget>

#include <atomic>
#include <thread>

namespace {

constexpr int kArrivalTimeoutMs = 5000;

// Remembers where it was pressed, in global coordinates.
class ClickTarget : public QWidget
{
public:
    QList<QPoint> presses;
    int doubleClicks = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        presses << QtCompat::globalPosition(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        ++doubleClicks;
        presses << QtCompat::globalPosition(event);
    }
};

// Runs the operation on a worker thread, as a flow does, while events keep flowing here.
bool runOnWorker(Operation& op)
{
    std::atomic<bool> done{false};
    AppConfig::runFlag.store(true);
    std::thread worker([&] {
        op.run();
        done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, kArrivalTimeoutMs);
    worker.join();
    AppConfig::runFlag.store(false);
    return finished;
}

} // namespace

class TestOperationsX11 : public QObject
{
    Q_OBJECT

    QWidget window;
    ClickTarget* target = nullptr;
    QLineEdit* edit = nullptr;

private slots:
    void initTestCase()
    {
        if (QString::fromLatin1(platform::backend().name()) != QLatin1String("x11"))
            QSKIP("needs the X11 backend");
        auto* layout = new QVBoxLayout(&window);
        target = new ClickTarget;
        target->setMinimumSize(300, 200);
        edit = new QLineEdit;
        layout->addWidget(target);
        layout->addWidget(edit);
        window.move(100, 100);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
    }

    void moveReachesThePoint()
    {
        const QPoint point = target->mapToGlobal(QPoint(40, 30));
        MouseMoveOperation op;
        op.setPosition(point);
        QVERIFY(runOnWorker(op));
        // The 0..65535 range loses less than a pixel each way.
        QTRY_VERIFY2(
            (QCursor::pos() - point).manhattanLength() <= 2,
            qPrintable(QStringLiteral("%1,%2").arg(QCursor::pos().x()).arg(QCursor::pos().y())));
    }

    void clickLandsAtItsPositionWhereverThePointerWas()
    {
        MouseMoveOperation away;
        away.setPosition(QPoint(5, 5));
        QVERIFY(runOnWorker(away));

        target->presses.clear();
        const QPoint point = target->mapToGlobal(QPoint(150, 100));
        MouseClickOperation op;
        op.setPosition(point);
        op.setInterval(30);
        QVERIFY(runOnWorker(op));
        QTRY_COMPARE_WITH_TIMEOUT(target->presses.size(), 1, kArrivalTimeoutMs);
        QVERIFY((target->presses.first() - point).manhattanLength() <= 2);
    }

    void doubleClickIsSeenAsOne()
    {
        target->presses.clear();
        target->doubleClicks = 0;
        MouseClickOperation op;
        op.setPosition(target->mapToGlobal(QPoint(200, 150)));
        op.setClickType(MouseClickOperation::DoubleClick);
        QVERIFY(runOnWorker(op));
        QTRY_COMPARE_WITH_TIMEOUT(target->doubleClicks, 1, kArrivalTimeoutMs);
        QCOMPARE(target->presses.size(), 2);
    }

    void keyTapAndTextArriveInTheFocusedEdit()
    {
        edit->clear();
        edit->activateWindow();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());

        KeyboardOperation tap;
        tap.setEventType(KeyboardOperation::Tap);
        tap.setKey(QStringLiteral("k"));
        tap.setModifiers(Qt::ShiftModifier);
        QVERIFY(runOnWorker(tap));
        QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("K"), kArrivalTimeoutMs);

        TextInputOperation text;
        text.setText(QStringLiteral("Hi 你好"));
        QVERIFY(runOnWorker(text));
        QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("KHi 你好"), kArrivalTimeoutMs);
    }
};

KLIQORA_TEST_MAIN(TestOperationsX11)
#include "tst_operations_x11.moc"
