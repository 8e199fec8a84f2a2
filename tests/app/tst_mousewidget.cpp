// The mouse clicker page offscreen: its controls and their rules, what a start puts
// into the task and the counts it refuses, point picking through the capture, the
// hotkey change, and "mouse.kqt" at start-up and a moment after each change.

#include "appconfig.h"
#include "globalmousewidget.h"
#include "modalanswers.h"
#include "mousetask.h"
#include "pages/debouncedsave.h"
#include "pages/mousewidget.h"
#include "platform/virtualkeys.h"
#include "pointpicklayers.h"
#include "qhotkey.h"
#include "recordingbackend.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QFile>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

// Right double click at (16, 32), random interval 250 ms, 7 clicks by count, 1000 ms
// duration, jitter 3/4, Ctrl+Alt, hotkey "F4".
// clang-format off
const QByteArray MouseFile = QByteArray::fromHex(
    "8e62d878" "00000003" "00000010" "00000020" "00000000" "000000fa" "00000007"
    "00000001" "00000001" "00000002" "000003e8" "00000003" "00000004" "00000110"
    "00000004" "00460034");
// clang-format on

template <typename T> T* child(QWidget* page, const char* name)
{
    T* widget = page->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

GlobalMouseWidget* visibleTag()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* tag = qobject_cast<GlobalMouseWidget*>(top))
            if (tag->isVisible())
                return tag;
    return nullptr;
}

void writeMouseFile(const QByteArray& bytes)
{
    QFile file(TaskFile::mouseFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestMouseWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initialState();
    void validators_data();
    void validators();
    void enableRules_data();
    void enableRules();
    void prepareStart_data();
    void prepareStart();
    void start_refusesNoCount_data();
    void start_refusesNoCount();

    void pick_endsOnLeftOrRightPress_data();
    void pick_endsOnLeftOrRightPress();
    void pick_escapeGivesUp();
    void pick_withoutCaptureThroughOverlay_data();
    void pick_withoutCaptureThroughOverlay();

    void hotkeyChange_failureKeepsOldText();
    void hotkeyChange_emptyLeavesNoHotkey();

    void load_showsFileAndHotkey();
    void load_keyboardRecordKeepsInitialState();
    void save_keepsWhatTheUserLeft();

private:
    void createPage();

    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<MouseWidget> m_page;
};

void TestMouseWidget::init()
{
    m_backend = std::make_unique<ScopedRecordingBackend>();
    QFile::remove(TaskFile::mouseFilePath());
}

void TestMouseWidget::cleanup()
{
    m_page.reset();
    m_backend.reset();
}

void TestMouseWidget::createPage()
{
    m_page = std::make_unique<MouseWidget>();
    m_page->show();
    QCoreApplication::processEvents(); // the start-up load runs from a zero-delay timer
}

void TestMouseWidget::initialState()
{
    createPage();
    QCOMPARE(m_page->objectName(), QStringLiteral("MouseWidgetClass"));
    QCOMPARE(child<QPushButton>(m_page.get(), "btnDoClick")->text(),
             QStringLiteral("启动/停止连点\n[F2]"));
    QCOMPARE(child<QLabel>(m_page.get(), "lblXYPos")->text(), QStringLiteral("坐标：X=0,Y=0"));
    for (const char* name :
         {"rbtnLeftKey", "rbtnClick", "rbtnFollowMousePos", "rbtnFixedInterval", "rbtnStopByHand"})
        QVERIFY2(child<QRadioButton>(m_page.get(), name)->isChecked(), name);
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtFixedInterval")->text(), QStringLiteral("200"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtRandomMillisecond")->text(), QStringLiteral("400"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtRepeatTimes")->text(), QStringLiteral("10"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtAfterMillisecond")->text(), QStringLiteral("1000"));
    QVERIFY(!child<QPushButton>(m_page.get(), "btnPosSelect")->isEnabled());
    QVERIFY(child<QLineEdit>(m_page.get(), "edtFixedInterval")->isEnabled());
    for (const char* name : {"edtRandomMillisecond", "edtRepeatTimes", "edtAfterMillisecond"})
        QVERIFY2(!child<QLineEdit>(m_page.get(), name)->isEnabled(), name);
    QCOMPARE(m_page->task()->hotKey(), QStringLiteral("F2"));
}

void TestMouseWidget::validators_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("top");
    QTest::newRow("fixed interval") << "edtFixedInterval" << 0 << 999999999;
    QTest::newRow("random interval") << "edtRandomMillisecond" << 0 << 999999999;
    QTest::newRow("duration") << "edtAfterMillisecond" << 0 << 999999999;
    QTest::newRow("repeat times") << "edtRepeatTimes" << 1 << 999999999;
    QTest::newRow("horizontal jitter") << "edtHorizenRangePixel" << 0 << 99;
    QTest::newRow("vertical jitter") << "edtVertialRangePixel" << 0 << 99;
}

void TestMouseWidget::validators()
{
    QFETCH(QString, edit);
    QFETCH(int, bottom);
    QFETCH(int, top);
    createPage();
    auto* line = child<QLineEdit>(m_page.get(), qPrintable(edit));
    auto* validator = qobject_cast<const QIntValidator*>(line->validator());
    QVERIFY(validator);
    QCOMPARE(validator->bottom(), bottom);
    QCOMPARE(validator->top(), top);
}

void TestMouseWidget::enableRules_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::newRow("fixed point") << "rbtnFixedPos" << QStringList{"btnPosSelect"} << QStringList{};
    QTest::newRow("random interval") << "rbtnRandomInterval" << QStringList{"edtRandomMillisecond"}
                                     << QStringList{"edtFixedInterval"};
    QTest::newRow("by count") << "rbtnStopByRepeatTimes" << QStringList{"edtRepeatTimes"}
                              << QStringList{"edtAfterMillisecond"};
    QTest::newRow("by time") << "rbtnStopByTime" << QStringList{"edtAfterMillisecond"}
                             << QStringList{"edtRepeatTimes"};
}

void TestMouseWidget::enableRules()
{
    QFETCH(QString, radio);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    createPage();
    QTest::mouseClick(child<QRadioButton>(m_page.get(), qPrintable(radio)), Qt::LeftButton);
    for (const QString& name : enabled)
        QVERIFY2(m_page->findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
    for (const QString& name : disabled)
        QVERIFY2(!m_page->findChild<QWidget*>(name)->isEnabled(), qPrintable(name));

    // Back to the defaults turns them off again.
    for (const char* name : {"rbtnFollowMousePos", "rbtnFixedInterval", "rbtnStopByHand"})
        QTest::mouseClick(child<QRadioButton>(m_page.get(), name), Qt::LeftButton);
    QVERIFY(!child<QPushButton>(m_page.get(), "btnPosSelect")->isEnabled());
    QVERIFY(!child<QLineEdit>(m_page.get(), "edtRandomMillisecond")->isEnabled());
    QVERIFY(!child<QLineEdit>(m_page.get(), "edtRepeatTimes")->isEnabled());
    QVERIFY(!child<QLineEdit>(m_page.get(), "edtAfterMillisecond")->isEnabled());
}

void TestMouseWidget::prepareStart_data()
{
    // Controls to click (radios, check boxes) and texts to type, then the task's line.
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("texts"); // "edit=value"
    QTest::addColumn<QString>("expected");

    QTest::newRow("defaults")
        << QStringList{} << QStringList{}
        << "MouseTask:taskType=0,taskPosition=(0,0),intervalFlag=0,stopFlag=0,"
           "ExecuteInterval=200,m_iExecuteTimes=10,durationTime=1000,hJitterRange=0,"
           "vJitterRange=0,modifierKeys=0,hotKey=F2";
    QTest::newRow("right double, random, by time, jitter, all modifiers")
        << QStringList{"rbtnRightKey", "rbtnDoubleClick", "rbtnRandomInterval", "rbtnStopByTime",
                       "checkBoxCtrl", "checkBoxAlt",     "checkBoxShift",      "checkBoxWin"}
        << QStringList{"edtRandomMillisecond=300", "edtAfterMillisecond=5000",
                       "edtHorizenRangePixel=7", "edtVertialRangePixel=9"}
        << "MouseTask:taskType=3,taskPosition=(0,0),intervalFlag=1,stopFlag=1,"
           "ExecuteInterval=300,m_iExecuteTimes=10,durationTime=5000,hJitterRange=7,"
           "vJitterRange=9,modifierKeys=4369,hotKey=F2";
    QTest::newRow("middle single by count")
        << QStringList{"rbtnMiddleKey", "rbtnStopByRepeatTimes", "checkBoxAlt"}
        << QStringList{"edtRepeatTimes=3"}
        << "MouseTask:taskType=4,taskPosition=(0,0),intervalFlag=0,stopFlag=2,"
           "ExecuteInterval=200,m_iExecuteTimes=3,durationTime=1000,hJitterRange=0,"
           "vJitterRange=0,modifierKeys=256,hotKey=F2";
    QTest::newRow("fixed point never picked is (0,0)")
        << QStringList{"rbtnFixedPos"} << QStringList{"edtFixedInterval="}
        << "MouseTask:taskType=0,taskPosition=(0,0),intervalFlag=0,stopFlag=0,"
           "ExecuteInterval=0,m_iExecuteTimes=10,durationTime=1000,hJitterRange=0,"
           "vJitterRange=0,modifierKeys=0,hotKey=F2";
}

void TestMouseWidget::prepareStart()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, texts);
    QFETCH(QString, expected);
    createPage();
    for (const QString& name : clicks)
        QTest::mouseClick(m_page->findChild<QAbstractButton*>(name), Qt::LeftButton);
    for (const QString& entry : texts) {
        const QStringList parts = entry.split(QLatin1Char('='));
        m_page->findChild<QLineEdit*>(parts[0])->setText(parts[1]);
    }
    // Start and stop at once, as a user pressing the button twice.
    QTest::mouseClick(child<QPushButton>(m_page.get(), "btnDoClick"), Qt::LeftButton);
    m_page->stopTask();
    QCOMPARE(m_page->task()->toString(), expected);
}

void TestMouseWidget::start_refusesNoCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::newRow("zero") << "0";
    QTest::newRow("empty") << "";
}

// A count of nothing would start a job that ends at once without a word.
void TestMouseWidget::start_refusesNoCount()
{
    QFETCH(QString, count);
    createPage();
    QTest::mouseClick(child<QRadioButton>(m_page.get(), "rbtnStopByRepeatTimes"), Qt::LeftButton);
    child<QLineEdit>(m_page.get(), "edtRepeatTimes")->setText(count);
    MessageBoxCloser closer;
    closer.arm(this);
    QTest::mouseClick(child<QPushButton>(m_page.get(), "btnDoClick"), Qt::LeftButton);
    QCOMPARE(closer.title, QStringLiteral("重复次数未设置"));
    QCOMPARE(closer.text, QStringLiteral("请填写重复次数（至少 1 次），再启动。"));
    QVERIFY(!m_page->isRunning());
    QVERIFY(m_page->isVisible());
}

void TestMouseWidget::pick_endsOnLeftOrRightPress_data()
{
    QTest::addColumn<uint>("message");
    QTest::newRow("left") << uint(platform::Message::LButtonDown);
    QTest::newRow("right") << uint(platform::Message::RButtonDown);
}

void TestMouseWidget::pick_endsOnLeftOrRightPress()
{
    QFETCH(uint, message);
    createPage();
    QTest::mouseClick(child<QRadioButton>(m_page.get(), "rbtnFixedPos"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(m_page.get(), "btnPosSelect"), Qt::LeftButton);
    QVERIFY(m_page->isPicking());
    QVERIFY(!m_page->isVisible());
    QVERIFY(visibleTag());

    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture);
    // Moves, releases and other buttons do not end the pick.
    for (uint other : {platform::Message::MouseMove, platform::Message::MButtonDown,
                       platform::Message::LButtonUp})
        capture->feedMouse({other, 5, 6, 0, 0});
    QVERIFY(m_page->isPicking());

    capture->feedMouse({message, 300, 400, 0, 0});
    QVERIFY(!m_page->isPicking());
    QVERIFY(m_page->isVisible());
    QVERIFY(!visibleTag());
    QCOMPARE(m_page->pickedPoint(), QPoint(300, 400));
    QCOMPARE(child<QLabel>(m_page.get(), "lblXYPos")->text(), QStringLiteral("坐标：X=300,Y=400"));

    // A start during a new pick ends that pick.
    QTest::mouseClick(child<QPushButton>(m_page.get(), "btnPosSelect"), Qt::LeftButton);
    QVERIFY(m_page->isPicking());
    m_page->startTask();
    QVERIFY(!m_page->isPicking());
    QVERIFY(!visibleTag());
    m_page->stopTask();
    QCOMPARE(m_page->pickedPoint(), QPoint(300, 400));

    m_page->startTask();
    m_page->stopTask();
    QCOMPARE(m_page->task()->position(), QPoint(300, 400));
}

void TestMouseWidget::pick_escapeGivesUp()
{
    createPage();
    QTest::mouseClick(child<QRadioButton>(m_page.get(), "rbtnFixedPos"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(m_page.get(), "btnPosSelect"), Qt::LeftButton);
    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture);
    // Other keys, and Escape's release, leave the pick on.
    capture->feedKey({platform::Message::KeyDown, platform::Vk::KeyA, 0, 0, 0});
    capture->feedKey({platform::Message::KeyUp, platform::Vk::Escape, 0, 0, 0});
    QVERIFY(m_page->isPicking());

    capture->feedKey({platform::Message::KeyDown, platform::Vk::Escape, 0, 0, 0});
    QVERIFY(!m_page->isPicking());
    QVERIFY(m_page->isVisible());
    QVERIFY(!visibleTag());
    QCOMPARE(m_page->pickedPoint(), QPoint(0, 0));
    QCOMPARE(child<QLabel>(m_page.get(), "lblXYPos")->text(), QStringLiteral("坐标：X=0,Y=0"));
}

void TestMouseWidget::pick_withoutCaptureThroughOverlay_data()
{
    QTest::addColumn<int>("button"); // Qt::NoButton: Escape
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("escape cancels") << int(Qt::NoButton);
}

void TestMouseWidget::pick_withoutCaptureThroughOverlay()
{
    QFETCH(int, button);
    (*m_backend)->setCaptureAvailable(false); // as on Wayland
    createPage();
    QTest::mouseClick(child<QRadioButton>(m_page.get(), "rbtnFixedPos"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(m_page.get(), "btnPosSelect"), Qt::LeftButton);
    QVERIFY(m_page->isPicking());
    QVERIFY(!m_page->isVisible());
    QVERIFY(!visibleTag()); // the tag is drawn inside the layer

    const QList<QScreen*> screens = QGuiApplication::screens();
    const QList<QWidget*> layers = visiblePointPickLayers();
    QCOMPARE(layers.size(), screens.size());
    QWidget* layer = layers.last();
    const QScreen* screen = layer->windowHandle()->screen();
    QTRY_COMPARE(layer->geometry(), screen->geometry());

    QTest::mouseClick(layer, Qt::MiddleButton, {}, QPoint(5, 6));
    QVERIFY(m_page->isPicking());
    if (button == Qt::NoButton)
        QTest::keyClick(layer, Qt::Key_Escape);
    else
        QTest::mouseClick(layer, Qt::MouseButton(button), {}, QPoint(300, 400));
    QVERIFY(!m_page->isPicking());
    QVERIFY(m_page->isVisible());
    QTRY_VERIFY(visiblePointPickLayers().isEmpty());
    const QPoint expected =
        button == Qt::NoButton ? QPoint() : screen->geometry().topLeft() + QPoint(300, 400);
    QCOMPARE(m_page->pickedPoint(), expected);
    QCOMPARE(child<QLabel>(m_page.get(), "lblXYPos")->text(),
             QStringLiteral("坐标：X=%1,Y=%2").arg(expected.x()).arg(expected.y()));
}

void TestMouseWidget::hotkeyChange_failureKeepsOldText()
{
    // Offscreen nothing can be registered: the change fails like a key taken by another
    // program.
    createPage();
    MessageBoxCloser closer;
    QString preset;
    answerHotkeyDialog(this, QStringLiteral("F7"), &preset, [&] { closer.arm(this); });
    m_page->onHotKeySetClicked();
    QCOMPARE(preset, QStringLiteral("F2"));
    QCOMPARE(closer.title, QStringLiteral("快捷键设置失败"));
    QCOMPARE(closer.text, QStringLiteral("无法注册快捷键 F7，可能已被占用。"));
    QCOMPARE(child<QPushButton>(m_page.get(), "btnDoClick")->text(),
             QStringLiteral("启动/停止连点\n[F2]"));
    QCOMPARE(m_page->task()->hotKey(), QStringLiteral("F2"));
}

void TestMouseWidget::hotkeyChange_emptyLeavesNoHotkey()
{
    createPage();
    QString preset;
    answerHotkeyDialog(this, QString(), &preset);
    m_page->onHotKeySetClicked();
    QCOMPARE(preset, QStringLiteral("F2"));
    QCOMPARE(child<QPushButton>(m_page.get(), "btnDoClick")->text(),
             QStringLiteral("启动/停止连点\n[]"));
    QCOMPARE(m_page->task()->hotKey(), QString());
}

void TestMouseWidget::load_showsFileAndHotkey()
{
    writeMouseFile(MouseFile);
    // Offscreen the loaded key cannot be registered: only logged.
    QTest::ignoreMessage(QtWarningMsg, "Mouse clicker hotkey F4 could not be registered");
    createPage();
    for (const char* name :
         {"rbtnRightKey", "rbtnDoubleClick", "rbtnFixedPos", "rbtnRandomInterval",
          "rbtnStopByRepeatTimes", "checkBoxCtrl", "checkBoxAlt"})
        QVERIFY2(m_page->findChild<QAbstractButton*>(QLatin1String(name))->isChecked(), name);
    QVERIFY(!child<QCheckBox>(m_page.get(), "checkBoxShift")->isChecked());
    QCOMPARE(child<QLabel>(m_page.get(), "lblXYPos")->text(), QStringLiteral("坐标：X=16,Y=32"));
    QCOMPARE(m_page->pickedPoint(), QPoint(16, 32));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtRandomMillisecond")->text(), QStringLiteral("250"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtFixedInterval")->text(), QStringLiteral("200"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtRepeatTimes")->text(), QStringLiteral("7"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtAfterMillisecond")->text(), QStringLiteral("1000"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtHorizenRangePixel")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtVertialRangePixel")->text(), QStringLiteral("4"));
    QVERIFY(child<QPushButton>(m_page.get(), "btnPosSelect")->isEnabled());
    QVERIFY(child<QLineEdit>(m_page.get(), "edtRepeatTimes")->isEnabled());
    QVERIFY(!child<QLineEdit>(m_page.get(), "edtFixedInterval")->isEnabled());
    QCOMPARE(child<QPushButton>(m_page.get(), "btnDoClick")->text(),
             QStringLiteral("启动/停止连点\n[F4]"));
    QCOMPARE(m_page->hotkey()->shortcut(), QKeySequence(QStringLiteral("F4")));
}

void TestMouseWidget::load_keyboardRecordKeepsInitialState()
{
    QByteArray keyboard = MouseFile;
    keyboard.replace(4, 4, QByteArray::fromHex("00000006"));
    writeMouseFile(keyboard);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^要载入的文件不是鼠标连点任务文件")));
    createPage();
    QVERIFY(child<QRadioButton>(m_page.get(), "rbtnLeftKey")->isChecked());
    QVERIFY(child<QRadioButton>(m_page.get(), "rbtnFollowMousePos")->isChecked());
    QCOMPARE(child<QLabel>(m_page.get(), "lblXYPos")->text(), QStringLiteral("坐标：X=0,Y=0"));
    QCOMPARE(child<QPushButton>(m_page.get(), "btnDoClick")->text(),
             QStringLiteral("启动/停止连点\n[F2]"));
}

void TestMouseWidget::save_keepsWhatTheUserLeft()
{
    createPage();
    QTest::mouseClick(child<QRadioButton>(m_page.get(), "rbtnMiddleKey"), Qt::LeftButton);
    m_page->startTask();
    m_page->stopTask();
    // Changed after the last start, never started again: saved all the same, a
    // moment later, without a quit.
    QTest::mouseClick(child<QRadioButton>(m_page.get(), "rbtnRightKey"), Qt::LeftButton);
    child<QLineEdit>(m_page.get(), "edtFixedInterval")->setText(QStringLiteral("999"));
    QTest::mouseClick(child<QCheckBox>(m_page.get(), "checkBoxShift"), Qt::LeftButton);
    MouseTask saved;
    QTRY_VERIFY_WITH_TIMEOUT(saved.load(TaskFile::mouseFilePath()) &&
                                 saved.executeInterval() == 999,
                             DebouncedSave::DelayMs * 3);
    QCOMPARE(saved.taskType(), int(TaskType::RightClick));
    QCOMPARE(saved.modifierKeys(), int(ModifierMask::Shift));

    // A new page (the next program start) shows them.
    m_page.reset();
    createPage();
    QVERIFY(child<QRadioButton>(m_page.get(), "rbtnRightKey")->isChecked());
    QCOMPARE(child<QLineEdit>(m_page.get(), "edtFixedInterval")->text(), QStringLiteral("999"));
    QVERIFY(child<QCheckBox>(m_page.get(), "checkBoxShift")->isChecked());
}

KLIQORA_TEST_MAIN(TestMouseWidget)
#include "tst_mousewidget.moc"
