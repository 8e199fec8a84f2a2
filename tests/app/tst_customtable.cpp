// The flow list offscreen: its columns and cells, the row buttons that keep finding
// their row after other rows left, the delete question and the "more" menu.

#include "pages/customtable.h"
#include "pages/rowbuttons.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// Answers the next message box with `answer` and remembers its texts.
struct BoxAnswer
{
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QString title;
    QString text;
    bool seen = false;
    void arm(QObject* context)
    {
        QTimer::singleShot(0, context, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = true;
            title = box->windowTitle();
            text = box->text();
            box->button(answer)->click();
        });
    }
};

// Chooses the menu entry `text` of the next "more" menu.
void chooseMenuEntry(QObject* context, const QString& text)
{
    QTimer::singleShot(0, context, [text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
    });
}

} // namespace

class TestCustomTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAndCells();
    void setters_ignoreRowsOutside();
    void rowEditable_keepsRunEnabled();
    void buttons_followTheirRowAfterRemoval_data();
    void buttons_followTheirRowAfterRemoval();
    void staleButton_doesNothing();
    void delete_asksAndRemovesOnYesOnly_data();
    void delete_asksAndRemovesOnYesOnly();
    void moreMenu_emitsTheChosenCommand_data();
    void moreMenu_emitsTheChosenCommand();

private:
    std::unique_ptr<CustomTable> m_table;
};

void TestCustomTable::init()
{
    m_table = std::make_unique<CustomTable>();
    m_table->resize(800, 400);
    m_table->show();
    m_table->addRow(QStringLiteral("alpha"), QString());
    m_table->addRow(QStringLiteral("beta"), QStringLiteral("Ctrl+F5"));
    m_table->addRow(QStringLiteral("gamma"), QString());
}

void TestCustomTable::cleanup()
{
    m_table.reset();
}

void TestCustomTable::layoutAndCells()
{
    QCOMPARE(m_table->columnCount(), 3);
    QStringList headers;
    for (int column = 0; column < 3; ++column)
        headers << m_table->horizontalHeaderItem(column)->text();
    QCOMPARE(headers, (QStringList{QStringLiteral("自定义操作名称"), QStringLiteral("启停快捷键"),
                                   QStringLiteral("操作")}));
    QCOMPARE(m_table->columnWidth(CustomTable::HotkeyColumn), 200);
    QCOMPARE(m_table->columnWidth(CustomTable::ActionColumn), 200);
    QCOMPARE(m_table->horizontalHeader()->sectionResizeMode(CustomTable::NameColumn),
             QHeaderView::Stretch);
    QCOMPARE(m_table->rowHeight(0), 40);
    QCOMPARE(m_table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(m_table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(m_table->selectionMode(), QAbstractItemView::SingleSelection);

    QCOMPARE(m_table->item(1, CustomTable::NameColumn)->text(), QStringLiteral("beta"));
    QCOMPARE(m_table->item(0, CustomTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QCOMPARE(m_table->item(1, CustomTable::HotkeyColumn)->text(), QStringLiteral("Ctrl+F5"));
    QCOMPARE(m_table->item(1, CustomTable::NameColumn)->textAlignment(), int(Qt::AlignCenter));

    const QStringList tips{QStringLiteral("运行"), QStringLiteral("编辑"), QStringLiteral("删除"),
                           QStringLiteral("更多")};
    const QStringList images{QStringLiteral("run"), QStringLiteral("edit"),
                             QStringLiteral("delete"), QStringLiteral("other")};
    for (int which = 0; which < 4; ++which) {
        QAbstractButton* button = m_table->rowButton(1, CustomTable::RowButton(which));
        QVERIFY(button);
        QCOMPARE(button->toolTip(), tips.at(which));
        QVERIFY2(button->styleSheet().contains(images.at(which) + QStringLiteral("-d.svg")) &&
                     button->styleSheet().contains(images.at(which) + QStringLiteral("-a.svg")),
                 qPrintable(button->styleSheet()));
        // The address of the row's name item, as a 64-bit number.
        QCOMPARE(button->property(RowButtons::KeyItemProperty).value<quint64>(),
                 quint64(reinterpret_cast<quintptr>(m_table->item(1, CustomTable::NameColumn))));
    }
}

void TestCustomTable::setters_ignoreRowsOutside()
{
    m_table->setRowName(0, QStringLiteral("renamed"));
    m_table->setRowHotkey(1, QString());
    m_table->setRowHotkey(2, QStringLiteral("F9"));
    for (int row : {-1, 3, 100}) {
        m_table->setRowName(row, QStringLiteral("x"));
        m_table->setRowHotkey(row, QStringLiteral("x"));
        m_table->setRowEditable(row, false);
    }
    QCOMPARE(m_table->rowCount(), 3);
    QCOMPARE(m_table->item(0, 0)->text(), QStringLiteral("renamed"));
    QCOMPARE(m_table->item(1, 1)->text(), QStringLiteral("未设置"));
    QCOMPARE(m_table->item(2, 1)->text(), QStringLiteral("F9"));
}

void TestCustomTable::rowEditable_keepsRunEnabled()
{
    const auto picture = [this](int row, CustomTable::RowButton which) {
        return m_table->rowButton(row, which)->grab().toImage();
    };
    const QString lockedTip =
        QStringLiteral("这个操作正在设计器中打开：关闭设计器后才能编辑、删除或更改它。");
    const QImage idleDelete = picture(1, CustomTable::DeleteButton);
    m_table->setRowEditable(1, false);
    QVERIFY(m_table->rowButton(1, CustomTable::RunButton)->isEnabled());
    for (auto which :
         {CustomTable::EditButton, CustomTable::DeleteButton, CustomTable::MoreButton}) {
        QVERIFY(!m_table->rowButton(1, which)->isEnabled());
        QVERIFY(m_table->rowButton(0, which)->isEnabled());
        // Locked buttons look locked and say why.
        QVERIFY(picture(1, which) != picture(0, which));
        QCOMPARE(m_table->rowButton(1, which)->toolTip(), lockedTip);
    }
    m_table->setRowEditable(1, true);
    QVERIFY(m_table->rowButton(1, CustomTable::DeleteButton)->isEnabled());
    QCOMPARE(picture(1, CustomTable::DeleteButton), idleDelete);
    QCOMPARE(m_table->rowButton(1, CustomTable::DeleteButton)->toolTip(), QStringLiteral("删除"));
}

void TestCustomTable::buttons_followTheirRowAfterRemoval_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("run") << int(CustomTable::RunButton) << QByteArray(SIGNAL(sigRunFlow(int)));
    QTest::newRow("edit") << int(CustomTable::EditButton) << QByteArray(SIGNAL(sigDesignFlow(int)));
}

void TestCustomTable::buttons_followTheirRowAfterRemoval()
{
    QFETCH(int, button);
    QFETCH(QByteArray, signal);
    QAbstractButton* gammaButton = m_table->rowButton(2, CustomTable::RowButton(button));
    m_table->removeRow(0);
    QSignalSpy spy(m_table.get(), signal.constData());
    gammaButton->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1); // "gamma" is row 1 now
    // A row put back above it moves it down again.
    m_table->insertFlowRow(0, QStringLiteral("alpha"), QString());
    gammaButton->click();
    QCOMPARE(spy.at(1).at(0).toInt(), 2);
}

void TestCustomTable::staleButton_doesNothing()
{
    QSignalSpy run(m_table.get(), &CustomTable::sigRunFlow);
    // A button whose item is no longer in the table, and one without the property.
    QPushButton orphan;
    orphan.setProperty(RowButtons::KeyItemProperty, QVariant::fromValue<quint64>(0x1234));
    connect(&orphan, &QPushButton::clicked, m_table.get(), &CustomTable::onBtnRunClicked);
    orphan.click();
    QPushButton bare;
    connect(&bare, &QPushButton::clicked, m_table.get(), &CustomTable::onBtnRunClicked);
    bare.click();
    QCOMPARE(run.count(), 0);
}

void TestCustomTable::delete_asksAndRemovesOnYesOnly_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("yes") << int(QMessageBox::Yes) << 2;
    QTest::newRow("no") << int(QMessageBox::No) << 3;
}

void TestCustomTable::delete_asksAndRemovesOnYesOnly()
{
    QFETCH(int, answer);
    QFETCH(int, rowsAfter);
    QSignalSpy spy(m_table.get(), &CustomTable::sigDeleteFlow);
    BoxAnswer box;
    box.answer = QMessageBox::StandardButton(answer);
    box.arm(this);
    m_table->rowButton(1, CustomTable::DeleteButton)->click();
    QVERIFY(box.seen);
    QCOMPARE(box.title, QStringLiteral("删除确认"));
    QCOMPARE(box.text, QStringLiteral("确定要删除录制 \"beta\" 吗？"));
    QCOMPARE(m_table->rowCount(), rowsAfter);
    if (rowsAfter == 2) {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(m_table->item(1, 0)->text(), QStringLiteral("gamma"));
    } else {
        QCOMPARE(spy.count(), 0);
    }
}

void TestCustomTable::moreMenu_emitsTheChosenCommand_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("rename") << QStringLiteral("重命名") << QByteArray(SIGNAL(sigRenameFlow(int)));
    QTest::newRow("copy") << QStringLiteral("创建副本") << QByteArray(SIGNAL(sigCopyFlow(int)));
    QTest::newRow("hotkey") << QStringLiteral("设置快捷键")
                            << QByteArray(SIGNAL(sigSetFlowHotKey(int)));
}

void TestCustomTable::moreMenu_emitsTheChosenCommand()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, signal);
    QSignalSpy spy(m_table.get(), signal.constData());
    QSignalSpy others(m_table.get(), &CustomTable::sigRunFlow);
    chooseMenuEntry(this, entry);
    m_table->rowButton(2, CustomTable::MoreButton)->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(others.count(), 0);
}

KLIQORA_TEST_MAIN(TestCustomTable)
#include "tst_customtable.moc"
