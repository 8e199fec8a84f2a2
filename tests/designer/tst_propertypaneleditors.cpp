// The designer's own property editors: the key editor and the point picker, used
// through the property panel as the user does.

#include "globalmousewidget.h"
#include "keyboardoperation.h"
#include "keynames.h"
#include "mouseclickoperation.h"
#include "propertypanel/keyinputwidget.h"
#include "propertypanel/kliqorapropertybrowser.h"
#include "propertypanel/operationpropertybrowser.h"
#include "propertypanel/pointselectwidget.h"
#include "propertypanel/propertypanelwidget.h"

#include "platform/virtualkeys.h"
#include "pointpicklayers.h"
#include "pointpickoverlay.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "waitcoloroperation.h"

#include <qtvariantproperty.h>

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QWindow>

namespace {

platform::CapturedMouse mouseEvent(uint32_t message, int x, int y)
{
    platform::CapturedMouse event;
    event.message = message;
    event.x = x;
    event.y = y;
    return event;
}

platform::CapturedKey keyDown(uint32_t vk)
{
    platform::CapturedKey event;
    event.message = platform::Message::KeyDown;
    event.vkCode = vk;
    return event;
}

int tagCount()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<GlobalMouseWidget*>(widget) ? 1 : 0;
    return count;
}

} // namespace

class TestPropertyPanelEditors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyNames_data();
    void keyNames();
    void keyEditorWritesKey();
    void keyEditorTakesTabAndShortcutKeys();

    void pickEndsWithButtonPress_data();
    void pickEndsWithButtonPress();
    void pickIgnoresOtherEvents();
    void pickForAColourWaitTakesPointAndColour();
    void typedColourIsKeptOnlyWhenValid();
    void escapeCancelsPick();
    void captureRefusedEndsPickAtOnce();
    void pickWithoutCaptureThroughOverlay_data();
    void pickWithoutCaptureThroughOverlay();
    void colourWaitWithoutCapturePicksPositionOnly();
    void editorClosedDuringPick_data();
    void editorClosedDuringPick();
    void secondPickerTakesOver();

private:
    QtProperty* row(const QString& label) const;
    QWidget* openEditor(const QString& label);

    std::unique_ptr<ScopedRecordingBackend> m_backend;
    QMainWindow* m_window = nullptr;
    PropertyPanelWidget* m_panel = nullptr;
};

void TestPropertyPanelEditors::init()
{
    m_backend = std::make_unique<ScopedRecordingBackend>();
    m_window = new QMainWindow;
    m_panel = new PropertyPanelWidget;
    m_window->setCentralWidget(m_panel);
    m_window->resize(360, 300);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestPropertyPanelEditors::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_panel = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_backend.reset();
}

QtProperty* TestPropertyPanelEditors::row(const QString& label) const
{
    for (QtProperty* p : m_panel->propertyBrowser()->tree()->properties()) {
        if (p->propertyName() == label)
            return p;
    }
    return nullptr;
}

QWidget* TestPropertyPanelEditors::openEditor(const QString& label)
{
    OperationPropertyBrowser* tree = m_panel->propertyBrowser()->tree();
    tree->setCurrentItem(tree->topLevelItem(row(label)));
    return tree->currentEditor();
}

void TestPropertyPanelEditors::keyNames_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected"); // empty: the press changes nothing

    const int none = Qt::NoModifier;
    const int keypad = Qt::KeypadModifier;
    // clang-format off
    QTest::newRow("letter")         << int(Qt::Key_A)         << none << "A";
    QTest::newRow("letter ctrl")    << int(Qt::Key_A)         << int(Qt::ControlModifier) << "A";
    QTest::newRow("F5")             << int(Qt::Key_F5)        << none << "F5";
    QTest::newRow("F24")            << int(Qt::Key_F24)       << none << "F24";
    QTest::newRow("digit")          << int(Qt::Key_7)         << none << "7";
    QTest::newRow("space")          << int(Qt::Key_Space)     << none << "Space";
    QTest::newRow("return")         << int(Qt::Key_Return)    << none << "Return";
    QTest::newRow("escape")         << int(Qt::Key_Escape)    << none << "Esc";
    QTest::newRow("backspace")      << int(Qt::Key_Backspace) << none << "Backspace";
    QTest::newRow("delete")         << int(Qt::Key_Delete)    << none << "Del";
    QTest::newRow("page down")      << int(Qt::Key_PageDown)  << none << "PgDown";
    QTest::newRow("left")           << int(Qt::Key_Left)      << none << "Left";
    QTest::newRow("tab")            << int(Qt::Key_Tab)       << none << "Tab";
    QTest::newRow("shift tab")      << int(Qt::Key_Backtab)   << int(Qt::ShiftModifier) << "Tab";
    QTest::newRow("caps lock")      << int(Qt::Key_CapsLock)  << none << "CapsLock";
    QTest::newRow("punctuation")    << int(Qt::Key_Semicolon) << none << ";";
    QTest::newRow("shifted digit")  << int(Qt::Key_Exclam)    << int(Qt::ShiftModifier) << "1";
    QTest::newRow("shifted 0")      << int(Qt::Key_ParenRight)<< int(Qt::ShiftModifier) << "0";
    QTest::newRow("keypad digit")   << int(Qt::Key_5)         << keypad << "Num5";
    QTest::newRow("keypad star")    << int(Qt::Key_Asterisk)  << keypad << "NumpadStar";
    QTest::newRow("keypad enter")   << int(Qt::Key_Enter)     << keypad << "NumpadEnter";
    QTest::newRow("menu key")       << int(Qt::Key_Menu)      << none << "Apps";
    QTest::newRow("volume up")      << int(Qt::Key_VolumeUp)  << none << "VolumeUp";
    QTest::newRow("shift alone")    << int(Qt::Key_Shift)     << int(Qt::ShiftModifier) << "";
    QTest::newRow("control alone")  << int(Qt::Key_Control)   << int(Qt::ControlModifier) << "";
    QTest::newRow("alt alone")      << int(Qt::Key_Alt)       << int(Qt::AltModifier) << "";
    QTest::newRow("meta alone")     << int(Qt::Key_Meta)      << int(Qt::MetaModifier) << "";
    QTest::newRow("no vk: print")   << int(Qt::Key_Print)     << none << "";
    QTest::newRow("unknown")        << int(Qt::Key_unknown)   << none << "";
    // clang-format on
}

void TestPropertyPanelEditors::keyNames()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);

    KeyInputWidget editor;
    editor.setText(QStringLiteral("B"));
    QSignalSpy changed(&editor, &KeyInputWidget::valueChanged);
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
    QApplication::sendEvent(&editor, &press);

    if (expected.isEmpty()) {
        QCOMPARE(editor.text(), QStringLiteral("B"));
        QCOMPARE(changed.count(), 0);
        return;
    }
    QCOMPARE(editor.text(), expected);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), expected);
    // Every stored name is one the key operation can send.
    QVERIFY2(keyNameToVk(expected) != 0, qPrintable(expected));
}

void TestPropertyPanelEditors::keyEditorWritesKey()
{
    KeyboardOperation op;
    op.setKey(QStringLiteral("A"));
    m_panel->showObject(&op);
    auto* editor = qobject_cast<KeyInputWidget*>(openEditor(QStringLiteral("按键")));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("A"));
    QVERIFY(!editor->testAttribute(Qt::WA_InputMethodEnabled));
    QSignalSpy modified(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);

    QTest::keyClick(editor, Qt::Key_Shift, Qt::ShiftModifier);
    QCOMPARE(op.key(), QStringLiteral("A"));
    QCOMPARE(modified.count(), 0);

    QTest::keyClick(editor, Qt::Key_F5);
    QCOMPARE(op.key(), QStringLiteral("F5"));
    QCOMPARE(editor->text(), QStringLiteral("F5"));
    QCOMPARE(modified.count(), 1);

    // Typing replaces, never inserts.
    QTest::keyClicks(editor, QStringLiteral("xy"));
    QCOMPARE(op.key(), QStringLiteral("Y"));
    QCOMPARE(editor->text(), QStringLiteral("Y"));
}

void TestPropertyPanelEditors::keyEditorTakesTabAndShortcutKeys()
{
    KeyboardOperation op;
    m_panel->showObject(&op);
    auto* editor = qobject_cast<KeyInputWidget*>(openEditor(QStringLiteral("按键")));
    QVERIFY(editor);
    editor->setFocus();

    // A window shortcut on the same key must not take it away from the editor.
    QAction save(m_window);
    save.setShortcut(QKeySequence(Qt::CTRL + Qt::Key_S));
    m_window->addAction(&save);
    QSignalSpy triggered(&save, &QAction::triggered);
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(op.key(), QStringLiteral("S"));
    QCOMPARE(triggered.count(), 0);

    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(op.key(), QStringLiteral("Tab"));
}

void TestPropertyPanelEditors::pickEndsWithButtonPress_data()
{
    QTest::addColumn<uint>("message");
    QTest::newRow("left") << uint(platform::Message::LButtonDown);
    QTest::newRow("right") << uint(platform::Message::RButtonDown);
}

void TestPropertyPanelEditors::pickEndsWithButtonPress()
{
    QFETCH(uint, message);

    MouseClickOperation op;
    op.setPosition(QPoint(1, 2));
    m_panel->showObject(&op);
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QVERIFY(picker);
    auto* shown = picker->findChild<QLineEdit*>();
    QCOMPARE(shown->text(), QStringLiteral("1, 2"));
    QSignalSpy modified(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);

    QTest::mouseClick(picker->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(picker->isPicking());
    QCOMPARE(PointSelectWidget::activePicker(), picker);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(tagCount(), 1);
    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture && capture->isActive());

    capture->feedMouse(mouseEvent(message, 640, 360));
    QCOMPARE(op.position(), QPoint(640, 360));
    QCOMPARE(modified.count(), 1);
    QCOMPARE(shown->text(), QStringLiteral("640, 360"));
    QVERIFY(m_window->isVisible());
    QVERIFY(!picker->isPicking());
    QVERIFY(!capture->isActive());
    QVERIFY(!PointSelectWidget::activePicker());
    QCOMPARE(tagCount(), 0);
}

void TestPropertyPanelEditors::pickForAColourWaitTakesPointAndColour()
{
    WaitColorOperation op;
    m_panel->showObject(&op);
    QVERIFY(row(QStringLiteral("颜色")));
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QVERIFY(picker);
    (*m_backend)->setScreenColor(0x3a7bd5);
    QTest::mouseClick(picker->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(picker->isPicking());
    // The tag shows the colour under the pointer while the user looks for the point.
    GlobalMouseWidget* tag = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<GlobalMouseWidget*>(widget))
            tag = found;
    }
    QVERIFY(tag);
    uint32_t tagColor = 0;
    QVERIFY(tag->shownColor(tagColor));
    QCOMPARE(tagColor, 0x3a7bd5u);

    // One press: the point and the colour there.
    (*m_backend)->setScreenColor(0x00ff00);
    (*m_backend)->activeCapture()->feedMouse(mouseEvent(platform::Message::LButtonDown, 70, 80));
    QCOMPARE(op.position(), QPoint(70, 80));
    QCOMPARE(op.color(), 0x00ff00u);
    QtProperty* colorRow = row(QStringLiteral("颜色"));
    QCOMPARE(m_panel->propertyBrowser()->manager()->value(colorRow).toString(),
             QStringLiteral("#00FF00"));

    // A click operation has no colour: its tag shows only coordinates.
    MouseClickOperation click;
    m_panel->showObject(&click);
    picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QTest::mouseClick(picker->findChild<QPushButton*>(), Qt::LeftButton);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<GlobalMouseWidget*>(widget))
            QVERIFY(!found->shownColor(tagColor));
    }
    (*m_backend)->activeCapture()->feedMouse(mouseEvent(platform::Message::LButtonDown, 1, 1));
    QCOMPARE(click.position(), QPoint(1, 1));
}

void TestPropertyPanelEditors::typedColourIsKeptOnlyWhenValid()
{
    WaitColorOperation op;
    op.setColor(0x112233);
    m_panel->showObject(&op);
    QtVariantPropertyManager* manager = m_panel->propertyBrowser()->manager();
    QtProperty* colorRow = row(QStringLiteral("颜色"));
    QVERIFY(colorRow);
    manager->setValue(colorRow, QStringLiteral("#abcdef"));
    QCOMPARE(op.color(), 0xabcdefu);
    manager->setValue(colorRow, QStringLiteral("red"));
    QCOMPARE(op.color(), 0xabcdefu);
    QCOMPARE(manager->value(colorRow).toString(), QStringLiteral("#ABCDEF"));
}

void TestPropertyPanelEditors::pickIgnoresOtherEvents()
{
    MouseClickOperation op;
    m_panel->showObject(&op);
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QVERIFY(picker);
    picker->onSelect();
    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture);

    using namespace platform::Message;
    for (uint32_t message : {MouseMove, LButtonUp, RButtonUp, MButtonDown, MouseWheel, XButtonDown})
        capture->feedMouse(mouseEvent(message, 9, 9));
    capture->feedKey(keyDown(platform::Vk::Space));
    QVERIFY(picker->isPicking());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(op.position(), QPoint());

    capture->feedMouse(mouseEvent(LButtonDown, 5, 6));
    QCOMPARE(op.position(), QPoint(5, 6));
}

void TestPropertyPanelEditors::escapeCancelsPick()
{
    MouseClickOperation op;
    op.setPosition(QPoint(7, 8));
    m_panel->showObject(&op);
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    picker->onSelect();
    QSignalSpy modified(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);
    RecordingCapture* capture = (*m_backend)->activeCapture();
    capture->feedKey(keyDown(platform::Vk::Escape));
    QVERIFY(!picker->isPicking());
    QVERIFY(m_window->isVisible());
    QCOMPARE(tagCount(), 0);
    QCOMPARE(op.position(), QPoint(7, 8));
    QCOMPARE(modified.count(), 0);
}

void TestPropertyPanelEditors::captureRefusedEndsPickAtOnce()
{
    (*m_backend)->setCaptureRefused(true);
    MouseClickOperation op;
    m_panel->showObject(&op);
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("capture could not")));
    picker->onSelect();

    QVERIFY(!picker->isPicking());
    QVERIFY(m_window->isVisible());
    QCOMPARE(tagCount(), 0);
    QVERIFY(visiblePointPickLayers().isEmpty());
    QVERIFY(!PointSelectWidget::activePicker());
    QMessageBox* box = m_window->findChild<QMessageBox*>();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), QStringLiteral("选择坐标失败"));
    box->close();
}

void TestPropertyPanelEditors::pickWithoutCaptureThroughOverlay_data()
{
    QTest::addColumn<int>("button"); // Qt::NoButton: Escape
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("escape cancels") << int(Qt::NoButton);
}

void TestPropertyPanelEditors::pickWithoutCaptureThroughOverlay()
{
    QFETCH(int, button);
    (*m_backend)->setCaptureAvailable(false); // as on Wayland
    MouseClickOperation op;
    op.setPosition(QPoint(7, 8));
    m_panel->showObject(&op);
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QSignalSpy modified(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);
    QTest::mouseClick(picker->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(picker->isPicking());
    QCOMPARE(PointSelectWidget::activePicker(), picker);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(tagCount(), 0); // the tag is drawn inside the layer

    const QList<QWidget*> layers = visiblePointPickLayers();
    QCOMPARE(layers.size(), QGuiApplication::screens().size());
    QWidget* layer = layers.last();
    const QScreen* screen = layer->windowHandle()->screen();
    QTest::mouseClick(layer, Qt::MiddleButton, {}, QPoint(5, 6));
    QVERIFY(picker->isPicking());
    if (button == Qt::NoButton)
        QTest::keyClick(layer, Qt::Key_Escape);
    else
        QTest::mouseClick(layer, Qt::MouseButton(button), {}, QPoint(300, 400));

    QVERIFY(!picker->isPicking());
    QVERIFY(!PointSelectWidget::activePicker());
    QVERIFY(m_window->isVisible());
    QTRY_VERIFY(visiblePointPickLayers().isEmpty());
    const QPoint expected =
        button == Qt::NoButton ? QPoint(7, 8) : screen->geometry().topLeft() + QPoint(300, 400);
    QCOMPARE(op.position(), expected);
    QCOMPARE(modified.count(), button == Qt::NoButton ? 0 : 1);
    QCOMPARE(picker->findChild<QLineEdit*>()->text(),
             QStringLiteral("%1, %2").arg(expected.x()).arg(expected.y()));
}

void TestPropertyPanelEditors::colourWaitWithoutCapturePicksPositionOnly()
{
    (*m_backend)->setCaptureAvailable(false);
    (*m_backend)->setScreenReadable(false);
    WaitColorOperation op;
    op.setColor(0x112233);
    m_panel->showObject(&op);
    auto* picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    QSignalSpy colours(picker, &PointSelectWidget::colorPicked);
    picker->onSelect();
    auto* overlay = picker->findChild<PointPickOverlay*>();
    QVERIFY(overlay && overlay->isActive());
    // The tag says why no colour comes with the point.
    QCOMPARE(overlay->tagNote(), QStringLiteral("此桌面不允许读取屏幕颜色，只选取位置"));

    QWidget* layer = visiblePointPickLayers().first();
    const QPoint origin = layer->windowHandle()->screen()->geometry().topLeft();
    QTest::mouseClick(layer, Qt::LeftButton, {}, QPoint(70, 80));
    QCOMPARE(op.position(), origin + QPoint(70, 80));
    QCOMPARE(op.color(), 0x112233u);
    QCOMPARE(colours.count(), 0);

    // A click operation has no colour: no note.
    MouseClickOperation click;
    m_panel->showObject(&click);
    picker = qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    picker->onSelect();
    QVERIFY(picker->findChild<PointPickOverlay*>()->tagNote().isEmpty());
    QTest::keyClick(visiblePointPickLayers().first(), Qt::Key_Escape);
}

void TestPropertyPanelEditors::editorClosedDuringPick_data()
{
    QTest::addColumn<bool>("capture");
    QTest::newRow("global capture") << true;
    QTest::newRow("overlay") << false;
}

void TestPropertyPanelEditors::editorClosedDuringPick()
{
    QFETCH(bool, capture);
    (*m_backend)->setCaptureAvailable(capture);
    MouseClickOperation op;
    op.setPosition(QPoint(1, 1));
    m_panel->showObject(&op);
    QPointer<PointSelectWidget> picker =
        qobject_cast<PointSelectWidget*>(openEditor(QStringLiteral("位置坐标")));
    picker->onSelect();
    QCOMPARE(bool((*m_backend)->activeCapture()), capture);
    QCOMPARE(visiblePointPickLayers().isEmpty(), capture);
    QVERIFY(!m_window->isVisible());

    // Another row chosen (by a program, the user cannot while the window is hidden).
    openEditor(QStringLiteral("点击类型"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!picker);
    QVERIFY(m_window->isVisible());
    QCOMPARE(tagCount(), 0);
    QVERIFY(visiblePointPickLayers().isEmpty());
    QVERIFY(!(*m_backend)->activeCapture()); // stopped: no handler can run any more
    QVERIFY(!PointSelectWidget::activePicker());
    QCOMPARE(op.position(), QPoint(1, 1));
}

void TestPropertyPanelEditors::secondPickerTakesOver()
{
    // Two pickers outside any browser: starting the second ends the first.
    PointSelectWidget first(m_panel);
    PointSelectWidget second(m_panel);
    QSignalSpy firstChanged(&first, &PointSelectWidget::valueChanged);
    first.onSelect();
    second.onSelect();
    QVERIFY(!first.isPicking());
    QVERIFY(second.isPicking());
    QCOMPARE(PointSelectWidget::activePicker(), &second);
    QCOMPARE(tagCount(), 1);
    (*m_backend)->activeCapture()->feedMouse(mouseEvent(platform::Message::LButtonDown, 3, 3));
    QCOMPARE(second.point(), QPoint(3, 3));
    QCOMPARE(firstChanged.count(), 0);
    QVERIFY(m_window->isVisible());
}

KLIQORA_TEST_MAIN(TestPropertyPanelEditors)
#include "tst_propertypaneleditors.moc"
