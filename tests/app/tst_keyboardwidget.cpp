// The key presser page offscreen: the refusals of a start, the table and its row
// buttons, the key cell editor, the spin boxes, the first start, the list a start
// builds, and "keyboard.kqt" saved a moment after each change and read at start-up.

#include "appconfig.h"
#include "keyboardtasklist.h"
#include "modalanswers.h"
#include "pages/debouncedsave.h"
#include "pages/keyboardwidget.h"
#include "pages/keytable.h"
#include "pages/shortcutedit.h"
#include "pages/spinboxdelegate.h"
#include "qhotkey.h"
#include "recordingbackend.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

QStringList keysOf(const KeyTable* table)
{
    QStringList keys;
    for (int row = 0; row < table->rowCount(); ++row)
        keys << table->item(row, KeyTable::KeyColumn)->text();
    return keys;
}

} // namespace

class TestKeyBoardWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStart_emptyTableStopByHand();
    void start_refusedWithMessage_data();
    void start_refusedWithMessage();
    void start_buildsRowsAndStopSettings();
    void deleteButton_followsItsRow();
    void shortcutEdit_data();
    void shortcutEdit();
    void spinBoxes_stopAt10000();
    void saveAndLoad_keepWhatTheUserLeft();
    void hotkeyChange_failureKeepsOldText();

private:
    void createPage();
    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<KeyBoardWidget> m_page;
};

void TestKeyBoardWidget::init()
{
    m_backend = std::make_unique<ScopedRecordingBackend>();
    QFile::remove(TaskFile::keyboardFilePath());
}

void TestKeyBoardWidget::cleanup()
{
    m_page.reset();
    m_backend.reset();
}

void TestKeyBoardWidget::createPage()
{
    m_page = std::make_unique<KeyBoardWidget>();
    m_page->show();
    QCoreApplication::processEvents(); // the start-up load runs from a zero-delay timer
}

void TestKeyBoardWidget::firstStart_emptyTableStopByHand()
{
    createPage();
    QCOMPARE(m_page->objectName(), QStringLiteral("KeyBoardWidgetClass"));
    QCOMPARE(m_page->table()->rowCount(), 0);
    QVERIFY(m_page->findChild<QRadioButton*>(QStringLiteral("rbtnStopByHand"))->isChecked());
    QVERIFY(!m_page->findChild<QLineEdit*>(QStringLiteral("edtRepeatTimes"))->isEnabled());
    QVERIFY(!m_page->findChild<QLineEdit*>(QStringLiteral("edtDuration"))->isEnabled());
    QCOMPARE(m_page->findChild<QPushButton*>(QStringLiteral("btnPressKey"))->text(),
             QStringLiteral("启动/停止连点\n[F3]"));
    QCOMPARE(m_page->table()->columnCount(), 4);
    QCOMPARE(m_page->table()->horizontalHeaderItem(1)->text(), QStringLiteral("按住时长（毫秒）"));

    QTest::mouseClick(m_page->findChild<QPushButton*>(QStringLiteral("btnAddKey")), Qt::LeftButton);
    QCOMPARE(keysOf(m_page->table()), QStringList{QStringLiteral("CTRL+C")});
    QCOMPARE(m_page->table()->item(0, 2)->text(), QStringLiteral("100"));
    QTest::mouseClick(m_page->findChild<QPushButton*>(QStringLiteral("btnClearKey")),
                      Qt::LeftButton);
    QCOMPARE(m_page->table()->rowCount(), 0);
}

void TestKeyBoardWidget::start_refusedWithMessage_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("count"); // by count; null: by hand
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const QString keysNotSet = QStringLiteral("按键未设置");
    QTest::newRow("empty table") << QStringList{} << QString() << keysNotSet
                                 << "请先完成按键设置,在启动连点。";
    QTest::newRow("row 2 empty") << QStringList{"A", "", "B"} << QString() << keysNotSet
                                 << "第2行按键尚未设置，请先完成按键设置。";
    const QString countNotSet = QStringLiteral("重复次数未设置");
    const QString countText = QStringLiteral("请填写重复次数（至少 1 次），再启动。");
    QTest::newRow("count 0") << QStringList{"A"} << "0" << countNotSet << countText;
    QTest::newRow("count empty") << QStringList{"A"} << "" << countNotSet << countText;
}

void TestKeyBoardWidget::start_refusedWithMessage()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, count);
    QFETCH(QString, title);
    QFETCH(QString, text);
    createPage();
    for (const QString& key : keys)
        m_page->table()->addRow(key, QStringLiteral("0"), QStringLiteral("0"));
    if (!count.isNull()) {
        QTest::mouseClick(m_page->findChild<QRadioButton*>(QStringLiteral("rbtnStopByRepeatTimes")),
                          Qt::LeftButton);
        m_page->findChild<QLineEdit*>(QStringLiteral("edtRepeatTimes"))->setText(count);
    }
    // The list of an earlier start stays as it was.
    m_page->taskList()->appendTask(
        KeyBoardTask::fromRowTexts(QStringLiteral("Z"), QString(), QString()));

    MessageBoxCloser closer;
    closer.arm(this);
    m_page->startTask();
    QCOMPARE(closer.title, title);
    QCOMPARE(closer.text, text);
    QVERIFY(!m_page->isRunning());
    QVERIFY(m_page->isVisible());
    QCOMPARE((*m_backend)->callCount(), 0);
    QCOMPARE(m_page->taskList()->tasks().size(), 1);
}

void TestKeyBoardWidget::start_buildsRowsAndStopSettings()
{
    createPage();
    m_page->table()->addRow(QStringLiteral("ctrl + c"), QStringLiteral("5"), QStringLiteral("7"));
    m_page->table()->addRow(QStringLiteral("SHIFT+F5"), QStringLiteral("0"), QStringLiteral("0"));
    QTest::mouseClick(m_page->findChild<QRadioButton*>(QStringLiteral("rbtnStopByRepeatTimes")),
                      Qt::LeftButton);
    m_page->findChild<QLineEdit*>(QStringLiteral("edtRepeatTimes"))->setText(QStringLiteral("2"));
    m_page->startTask();
    QTRY_VERIFY(m_page->isVisible()); // the two passes end by themselves
    QTRY_VERIFY(!m_page->isRunning());

    const KeyBoardTaskList* list = m_page->taskList();
    QCOMPARE(list->stopType(), int(KeyBoardTaskList::StopByCount));
    QCOMPARE(list->repeatTimes(), 2);
    QCOMPARE(list->duration(), 1000);
    QCOMPARE(list->tasks().size(), 2);
    QCOMPARE(list->tasks()[0]->modifierKeys(), 0x0010);
    QCOMPARE(list->tasks()[0]->pressDuration(), 5);
    QCOMPARE(list->tasks()[0]->intervalTime(), 7);
    QCOMPARE(list->tasks()[1]->modifierKeys(), 0x0001);
    // Two passes of two rows: four key presses that are not modifiers.
    int mainKeys = 0;
    for (const platform::Input& in : (*m_backend)->allInputs())
        if (in.keyboard.flags == 0 && in.keyboard.vk != 0x10 && in.keyboard.vk != 0x11)
            ++mainKeys;
    QCOMPARE(mainKeys, 4);
}

void TestKeyBoardWidget::deleteButton_followsItsRow()
{
    createPage();
    KeyTable* table = m_page->table();
    for (const char* key : {"A", "B", "C"})
        table->addRow(QString::fromLatin1(key), QStringLiteral("0"), QStringLiteral("0"));
    QAbstractButton* formerSecond = table->deleteButton(1);
    QCOMPARE(formerSecond->toolTip(), QStringLiteral("删除"));
    table->deleteButton(0)->click();
    QCOMPARE(keysOf(table), (QStringList{"B", "C"}));
    formerSecond->click(); // now row 1
    QCOMPARE(keysOf(table), QStringList{"C"});
}

void TestKeyBoardWidget::shortcutEdit_data()
{
    QTest::addColumn<QList<int>>("keys"); // pressed one after another
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::newRow("shift alone") << QList<int>{Qt::Key_Shift} << int(Qt::ShiftModifier) << "X";
    QTest::newRow("shift+F5") << QList<int>{Qt::Key_Shift, Qt::Key_F5} << int(Qt::ShiftModifier)
                              << "SHIFT+F5";
    QTest::newRow("ctrl+c") << QList<int>{Qt::Key_C} << int(Qt::ControlModifier) << "CTRL+C";
    QTest::newRow("all modifiers in order")
        << QList<int>{Qt::Key_A}
        << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
        << "CTRL+ALT+SHIFT+WIN+A";
    QTest::newRow("tab is a key") << QList<int>{Qt::Key_Tab} << 0 << "TAB";
    QTest::newRow("keypad enter") << QList<int>{Qt::Key_Enter} << int(Qt::KeypadModifier)
                                  << "ENTER";
    QTest::newRow("escape") << QList<int>{Qt::Key_Escape} << 0 << "ESC";
    QTest::newRow("other key by name") << QList<int>{Qt::Key_PageDown} << 0 << "PGDOWN";
}

void TestKeyBoardWidget::shortcutEdit()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    ShortcutEdit edit;
    edit.setText(QStringLiteral("X"));
    edit.show();
    edit.setFocus();
    for (int key : keys)
        QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit.text(), text);
    QVERIFY(edit.isReadOnly());
}

void TestKeyBoardWidget::spinBoxes_stopAt10000()
{
    createPage();
    KeyTable* table = m_page->table();
    table->addRow(QStringLiteral("A"), QStringLiteral("9990"), QStringLiteral("0"));
    for (int column : {int(KeyTable::HoldColumn), int(KeyTable::PauseColumn)}) {
        table->setCurrentCell(0, column);
        table->editItem(table->item(0, column));
        auto* spin = qobject_cast<QSpinBox*>(table->indexWidget(table->model()->index(0, column)));
        QVERIFY(spin);
        QCOMPARE(spin->maximum(), SpinBoxDelegate::MaxValue);
        spin->setValue(20000);
        spin->stepBy(5);
        QCOMPARE(spin->value(), 10000);
        table->setCurrentCell(0, KeyTable::KeyColumn); // commits the edit
        QCOMPARE(table->item(0, column)->text(), QStringLiteral("10000"));
    }
}

void TestKeyBoardWidget::saveAndLoad_keepWhatTheUserLeft()
{
    createPage();
    QTest::qWait(DebouncedSave::DelayMs + 100); // the start-up load's own save is done
    QFile::remove(TaskFile::keyboardFilePath());
    m_page->table()->addRow(QStringLiteral("CTRL+SHIFT+A"), QStringLiteral("30"),
                            QStringLiteral("40"));
    QTest::mouseClick(m_page->findChild<QRadioButton*>(QStringLiteral("rbtnStopByDuration")),
                      Qt::LeftButton);
    m_page->findChild<QLineEdit*>(QStringLiteral("edtDuration"))->setText(QStringLiteral("1"));
    m_page->table()->addRow(); // added after the other changes, never started: kept too
    // Saved a moment after the change, without a start or a quit.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(TaskFile::keyboardFilePath()),
                             DebouncedSave::DelayMs * 3);

    m_page.reset();
    createPage();
    QCOMPARE(keysOf(m_page->table()), (QStringList{"CTRL+SHIFT+A", "CTRL+C"}));
    QCOMPARE(m_page->table()->item(0, 1)->text(), QStringLiteral("30"));
    QCOMPARE(m_page->table()->item(0, 2)->text(), QStringLiteral("40"));
    QVERIFY(m_page->findChild<QRadioButton*>(QStringLiteral("rbtnStopByDuration"))->isChecked());
    QCOMPARE(m_page->findChild<QLineEdit*>(QStringLiteral("edtDuration"))->text(),
             QStringLiteral("1"));
    QVERIFY(m_page->findChild<QLineEdit*>(QStringLiteral("edtDuration"))->isEnabled());
}

void TestKeyBoardWidget::hotkeyChange_failureKeepsOldText()
{
    // Offscreen nothing can be registered: the change fails like a key in use elsewhere.
    createPage();
    MessageBoxCloser closer;
    QString preset;
    answerHotkeyDialog(this, QStringLiteral("F8"), &preset, [&] { closer.arm(this); });
    m_page->onHotKeySetClicked();
    QCOMPARE(preset, QStringLiteral("F3"));
    QCOMPARE(closer.title, QStringLiteral("快捷键设置失败"));
    QCOMPARE(closer.text, QStringLiteral("无法注册快捷键 F8，可能已被占用。"));
    QCOMPARE(m_page->findChild<QPushButton*>(QStringLiteral("btnPressKey"))->text(),
             QStringLiteral("启动/停止连点\n[F3]"));
    // The key stays set but unregistered, and is what quit saves.
    QCOMPARE(m_page->hotkey()->shortcut(), QKeySequence(QStringLiteral("F8")));
    QVERIFY(!m_page->hotkey()->isRegistered());
}

KLIQORA_TEST_MAIN(TestKeyBoardWidget)
#include "tst_keyboardwidget.moc"
