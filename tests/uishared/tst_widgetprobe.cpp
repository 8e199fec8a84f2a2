// How the test probe finds a widget by its name path and what it reports: the
// rectangle on the screen, visible, enabled, text, rows; rows, cells and widgets
// placed in a table's cells; palette items by their type id; ribbon actions by
// their tool buttons; and a clear answer for names that match nothing or too much.

#include "testenvironment.h"
#include "widgetprobe.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

QRect rectOf(const QJsonObject& answer)
{
    return QRect(answer.value(QLatin1String(WidgetProbe::XKey)).toInt(),
                 answer.value(QLatin1String(WidgetProbe::YKey)).toInt(),
                 answer.value(QLatin1String(WidgetProbe::WidthKey)).toInt(),
                 answer.value(QLatin1String(WidgetProbe::HeightKey)).toInt());
}

bool flag(const QJsonObject& answer, const char* key)
{
    return answer.value(QLatin1String(key)).toBool();
}

QString text(const QJsonObject& answer, const char* key)
{
    return answer.value(QLatin1String(key)).toString();
}

QRect globalRect(const QWidget* widget, const QRect& rect)
{
    return QRect(widget->mapToGlobal(rect.topLeft()), rect.size());
}

} // namespace

class TestWidgetProbe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void widgetsByNameAndPath();
    void unclearNamesAreAnswered_data();
    void unclearNamesAreAnswered();
    void tableRowsCellsAndRowButtons();
    void paletteItemsByTypeId();
    void actionsByTheirButtons();

private:
    std::unique_ptr<QWidget> m_window;
    QPushButton* m_go = nullptr;
    QTableWidget* m_table = nullptr;
    QTreeWidget* m_tree = nullptr;
    QToolButton* m_saveButton = nullptr;
};

void TestWidgetProbe::initTestCase()
{
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("windowMain"));
    m_window->setWindowTitle(QStringLiteral("main"));
    m_window->setGeometry(100, 80, 700, 500);
    auto* layout = new QHBoxLayout(m_window.get());

    m_go = new QPushButton(QStringLiteral("Go"));
    m_go->setObjectName(QStringLiteral("btnGo"));
    layout->addWidget(m_go);
    auto* state = new QLabel(QStringLiteral("idle"));
    state->setObjectName(QStringLiteral("lblState"));
    state->setEnabled(false);
    layout->addWidget(state);
    auto* hidden = new QLabel(QStringLiteral("later"));
    hidden->setObjectName(QStringLiteral("lblHidden"));
    layout->addWidget(hidden);
    hidden->hide();
    // Two widgets of one name, told apart by their parents.
    for (const char* side : {"widgetLeft", "widgetRight"}) {
        auto* container = new QWidget;
        container->setObjectName(QLatin1String(side));
        auto* twin = new QPushButton(QLatin1String(side), container);
        twin->setObjectName(QStringLiteral("btnTwin"));
        layout->addWidget(container);
    }

    m_table = new QTableWidget(3, 2);
    m_table->setObjectName(QStringLiteral("tableThings"));
    for (int row = 0; row < 3; ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("thing %1").arg(row)));
        auto* cell = new QWidget;
        auto* cellLayout = new QHBoxLayout(cell);
        cellLayout->setContentsMargins(2, 2, 2, 2);
        auto* run = new QPushButton(QStringLiteral("run"));
        run->setObjectName(QStringLiteral("btnRun"));
        run->setEnabled(row != 1);
        cellLayout->addWidget(run);
        m_table->setCellWidget(row, 1, cell);
    }
    layout->addWidget(m_table);

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("treePalette"));
    auto* category = new QTreeWidgetItem(m_tree, {QStringLiteral("mouse")});
    for (const char* typeId : {"mouse_click", "mouse_move"}) {
        auto* item = new QTreeWidgetItem(category, {QLatin1String(typeId)});
        item->setData(0, Qt::UserRole, QLatin1String(typeId));
    }
    m_tree->expandAll();
    layout->addWidget(m_tree);

    auto* save = new QAction(QStringLiteral("save"), m_window.get());
    save->setObjectName(QStringLiteral("actionSave"));
    save->setEnabled(false);
    m_saveButton = new QToolButton;
    m_saveButton->setDefaultAction(save);
    layout->addWidget(m_saveButton);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestWidgetProbe::widgetsByNameAndPath()
{
    const QJsonObject window = WidgetProbe::describe(QStringLiteral("windowMain"));
    QVERIFY(flag(window, WidgetProbe::FoundKey) && flag(window, WidgetProbe::VisibleKey));
    QCOMPARE(rectOf(window), m_window->geometry());
    QCOMPARE(text(window, WidgetProbe::TextKey), QStringLiteral("main"));

    const QJsonObject go = WidgetProbe::describe(QStringLiteral("btnGo"));
    QCOMPARE(rectOf(go), globalRect(m_go, m_go->rect()));
    QVERIFY(flag(go, WidgetProbe::EnabledKey));
    QCOMPARE(text(go, WidgetProbe::TextKey), QStringLiteral("Go"));
    QCOMPARE(WidgetProbe::describe(QStringLiteral("windowMain/btnGo")), go);

    const QJsonObject state = WidgetProbe::describe(QStringLiteral("lblState"));
    QVERIFY(flag(state, WidgetProbe::VisibleKey) && !flag(state, WidgetProbe::EnabledKey));
    QCOMPARE(text(state, WidgetProbe::TextKey), QStringLiteral("idle"));
    const QJsonObject hidden = WidgetProbe::describe(QStringLiteral("lblHidden"));
    QVERIFY(flag(hidden, WidgetProbe::FoundKey) && !flag(hidden, WidgetProbe::VisibleKey));

    const QJsonObject right = WidgetProbe::describe(QStringLiteral("widgetRight/btnTwin"));
    QCOMPARE(text(right, WidgetProbe::TextKey), QStringLiteral("widgetRight"));
}

void TestWidgetProbe::unclearNamesAreAnswered_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    QTest::newRow("no such name") << "btnNone"
                                  << "0 matches for \"btnNone\" in \"btnNone\"";
    QTest::newRow("two of that name") << "btnTwin"
                                      << "2 matches for \"btnTwin\" in \"btnTwin\"";
    QTest::newRow("not below that parent") << "widgetLeft/btnGo"
                                           << "0 matches for \"btnGo\" in \"widgetLeft/btnGo\"";
    QTest::newRow("row past the end") << "tableThings/row3"
                                      << "0 matches for \"row3\" in \"tableThings/row3\"";
    QTest::newRow("a button in every row") << "tableThings/btnRun"
                                           << "3 matches for \"btnRun\" in \"tableThings/btnRun\"";
    QTest::newRow("nothing") << ""
                             << "no name given";
}

void TestWidgetProbe::unclearNamesAreAnswered()
{
    QFETCH(QString, path);
    QFETCH(QString, error);
    const QJsonObject answer = WidgetProbe::describe(path);
    QVERIFY(!flag(answer, WidgetProbe::FoundKey));
    QCOMPARE(text(answer, WidgetProbe::ErrorKey), error);
}

void TestWidgetProbe::tableRowsCellsAndRowButtons()
{
    const QJsonObject table = WidgetProbe::describe(QStringLiteral("tableThings"));
    QCOMPARE(table.value(QLatin1String(WidgetProbe::RowsKey)).toInt(), 3);

    QRect rowArea = m_table->visualRect(m_table->model()->index(2, 0)) |
                    m_table->visualRect(m_table->model()->index(2, 1));
    rowArea &= m_table->viewport()->rect();
    const QJsonObject row = WidgetProbe::describe(QStringLiteral("tableThings/row2"));
    QCOMPARE(rectOf(row), globalRect(m_table->viewport(), rowArea));
    QCOMPARE(text(row, WidgetProbe::TextKey), QStringLiteral("thing 2"));

    const QJsonObject cell = WidgetProbe::describe(QStringLiteral("tableThings/row1/col0"));
    QCOMPARE(text(cell, WidgetProbe::TextKey), QStringLiteral("thing 1"));
    QCOMPARE(rectOf(cell),
             globalRect(m_table->viewport(), m_table->visualRect(m_table->model()->index(1, 0))));

    for (int r = 0; r < 3; ++r) {
        const QJsonObject run =
            WidgetProbe::describe(QStringLiteral("tableThings/row%1/btnRun").arg(r));
        auto* button = m_table->cellWidget(r, 1)->findChild<QPushButton*>();
        QCOMPARE(rectOf(run), globalRect(button, button->rect()));
        QCOMPARE(flag(run, WidgetProbe::EnabledKey), r != 1);
    }

    // A row scrolled out of sight is there, but not visible.
    m_table->setRowCount(60);
    m_table->scrollToBottom();
    const QJsonObject first = WidgetProbe::describe(QStringLiteral("tableThings/row0"));
    QVERIFY(flag(first, WidgetProbe::FoundKey) && !flag(first, WidgetProbe::VisibleKey));
    m_table->setRowCount(3);
}

void TestWidgetProbe::paletteItemsByTypeId()
{
    const QJsonObject move = WidgetProbe::describe(QStringLiteral("treePalette/mouse_move"));
    QTreeWidgetItem* item = m_tree->topLevelItem(0)->child(1);
    QVERIFY(flag(move, WidgetProbe::VisibleKey));
    QCOMPARE(rectOf(move), globalRect(m_tree->viewport(), m_tree->visualItemRect(item)));
    QCOMPARE(text(move, WidgetProbe::TextKey), QStringLiteral("mouse_move"));

    // Folded away: known, not visible.
    m_tree->collapseAll();
    const QJsonObject folded = WidgetProbe::describe(QStringLiteral("treePalette/mouse_move"));
    QVERIFY(flag(folded, WidgetProbe::FoundKey) && !flag(folded, WidgetProbe::VisibleKey));
    m_tree->expandAll();
}

void TestWidgetProbe::actionsByTheirButtons()
{
    const QJsonObject save = WidgetProbe::describe(QStringLiteral("actionSave"));
    QVERIFY(flag(save, WidgetProbe::FoundKey) && !flag(save, WidgetProbe::EnabledKey));
    QCOMPARE(rectOf(save), globalRect(m_saveButton, m_saveButton->rect()));
    m_saveButton->defaultAction()->setEnabled(true);
    QVERIFY(flag(WidgetProbe::describe(QStringLiteral("windowMain/actionSave")),
                 WidgetProbe::EnabledKey));
}

KLIQORA_TEST_MAIN(TestWidgetProbe)
#include "tst_widgetprobe.moc"
