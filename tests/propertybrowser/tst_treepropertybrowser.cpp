#include "qttreepropertybrowser.h"
#include "qtvariantproperty.h"
#include "testenvironment.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeWidget>

namespace {

const QStringList modifierNames{QStringLiteral("Shift"), QStringLiteral("Ctrl"),
                                QStringLiteral("Alt"), QStringLiteral("Win")};

// A key editor as a designer would install it: its own widget for one row, the
// standard editors for the rest.
class KeyEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    QList<int> keys;
signals:
    void keyChosen(const QString& key);

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
    // Tab would otherwise move the focus before keyPressEvent sees it.
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
        return QLineEdit::event(event);
    }
};

class KeyEditorFactory : public QtVariantEditorFactory
{
public:
    using QtVariantEditorFactory::QtVariantEditorFactory;

protected:
    QWidget* createEditor(QtVariantPropertyManager* manager, QtProperty* property,
                          QWidget* parent) override
    {
        if (property->propertyName() != QStringLiteral("key"))
            return QtVariantEditorFactory::createEditor(manager, property, parent);
        auto* editor = new KeyEdit(parent);
        editor->setText(manager->value(property).toString());
        connect(editor, &KeyEdit::keyChosen, manager,
                [manager, property](const QString& key) { manager->setValue(property, key); });
        return editor;
    }
};

// One row of every kind in a shown browser.
struct Fixture
{
    QtVariantPropertyManager manager;
    QtVariantEditorFactory factory;
    QtTreePropertyBrowser browser;
    QtVariantProperty* interval = manager.addProperty(QMetaType::Int, QStringLiteral("interval"));
    QtVariantProperty* text = manager.addProperty(QMetaType::QString, QStringLiteral("text"));
    QtVariantProperty* action =
        manager.addProperty(QtVariantPropertyManager::enumTypeId(), QStringLiteral("action"));
    QtVariantProperty* position =
        manager.addProperty(QMetaType::QPoint, QStringLiteral("position"));
    QtVariantProperty* modifiers =
        manager.addProperty(QtVariantPropertyManager::flagTypeId(), QStringLiteral("modifiers"));
    QtVariantProperty* active = manager.addProperty(QMetaType::Bool, QStringLiteral("active"));
    QtVariantProperty* group =
        manager.addProperty(QtVariantPropertyManager::groupTypeId(), QStringLiteral("group"));

    Fixture()
    {
        interval->setAttribute(QStringLiteral("minimum"), 1);
        interval->setAttribute(QStringLiteral("maximum"), 100);
        interval->setValue(50);
        text->setValue(QStringLiteral("abc"));
        action->setAttribute(
            QStringLiteral("enumNames"),
            QStringList{QStringLiteral("按下"), QStringLiteral("抬起"), QStringLiteral("敲击")});
        action->setValue(1);
        position->setValue(QPoint(3, 4));
        modifiers->setAttribute(QStringLiteral("flagNames"), modifierNames);
        modifiers->setValue(0b1010);
        browser.setFactoryForManager(&manager, &factory);
        for (QtProperty* property :
             {static_cast<QtProperty*>(interval), static_cast<QtProperty*>(text),
              static_cast<QtProperty*>(action), static_cast<QtProperty*>(position),
              static_cast<QtProperty*>(modifiers), static_cast<QtProperty*>(active),
              static_cast<QtProperty*>(group)})
            browser.addProperty(property);
        browser.resize(400, 500);
    }

    QTreeWidget* tree() const { return browser.findChild<QTreeWidget*>(); }
    QtBrowserItem* item(QtProperty* property) const { return browser.items(property).value(0); }
    QTreeWidgetItem* row(QtProperty* property) const
    {
        QTreeWidget* t = tree();
        QTreeWidgetItemIterator it(t);
        for (; *it; ++it) {
            if ((*it)->text(0) == property->propertyName() && (!property->propertyName().isEmpty()))
                return *it;
        }
        return nullptr;
    }
    QWidget* openEditor(QtProperty* property)
    {
        browser.setCurrentItem(item(property));
        return browser.currentEditor();
    }
};

} // namespace

class TestTreePropertyBrowser : public QObject
{
    Q_OBJECT

private slots:
    void rowsShowNamesValuesAndChildRows()
    {
        Fixture f;
        QTreeWidget* tree = f.tree();
        QVERIFY(tree);
        QCOMPARE(tree->columnCount(), 2);
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Property"));
        QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Value"));
        QCOMPARE(tree->topLevelItemCount(), 7);
        QCOMPARE(f.browser.properties().first(), f.interval);
        QCOMPARE(f.browser.addProperty(f.interval), nullptr); // already shown

        // clang-format off
        const QList<QPair<QString, QString>> expected{
            {QStringLiteral("interval"), QStringLiteral("50")},
            {QStringLiteral("text"), QStringLiteral("abc")},
            {QStringLiteral("action"), QStringLiteral("抬起")},
            {QStringLiteral("position"), QStringLiteral("(3, 4)")},
            {QStringLiteral("modifiers"), QStringLiteral("Ctrl|Win")},
            {QStringLiteral("active"), QString()},
            {QStringLiteral("group"), QString()},
        };
        // clang-format on
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(tree->topLevelItem(i)->text(0), expected.at(i).first);
            QCOMPARE(tree->topLevelItem(i)->text(1), expected.at(i).second);
        }
        QTreeWidgetItem* position = tree->topLevelItem(3);
        QCOMPARE(position->childCount(), 2);
        QCOMPARE(position->child(0)->text(0), QStringLiteral("X"));
        QCOMPARE(position->child(0)->text(1), QStringLiteral("3"));
        QCOMPARE(position->child(1)->text(1), QStringLiteral("4"));
        QTreeWidgetItem* modifiers = tree->topLevelItem(4);
        QCOMPARE(modifiers->childCount(), 4);
        QCOMPARE(modifiers->child(3)->text(0), QStringLiteral("Win"));
        // Bool rows show a check box picture that differs between the states.
        const QImage off = modifiers->child(0)->icon(1).pixmap(16).toImage();
        const QImage on = modifiers->child(1)->icon(1).pixmap(16).toImage();
        QVERIFY(!on.isNull());
        QVERIFY(on != off);
        QVERIFY(f.item(f.position)->children().size() == 2);
        QCOMPARE(f.item(f.position)->children().at(1)->parent(), f.item(f.position));
    }

    void rowsFollowThePropertiesLive()
    {
        Fixture f;
        QTreeWidget* tree = f.tree();
        f.interval->setValue(70);
        QCOMPARE(f.row(f.interval)->text(1), QStringLiteral("70"));
        f.interval->setPropertyName(QStringLiteral("pause"));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("pause"));
        static_cast<QtVariantProperty*>(f.position->subProperties().at(1))->setValue(9);
        QCOMPARE(tree->topLevelItem(3)->text(1), QStringLiteral("(3, 9)"));

        // A disabled row greys its child rows too.
        QTreeWidgetItem* modifiers = tree->topLevelItem(4);
        f.modifiers->setEnabled(false);
        QVERIFY(!(modifiers->flags() & Qt::ItemIsEnabled));
        QVERIFY(!(modifiers->child(2)->flags() & Qt::ItemIsEnabled));
        f.modifiers->setEnabled(true);
        QVERIFY(modifiers->child(2)->flags() & Qt::ItemIsEnabled);

        // Child rows come and go with the flag names; the row stays as the user left it.
        QVERIFY(modifiers->isExpanded());
        tree->collapseItem(modifiers);
        QVERIFY(!f.browser.isExpanded(f.item(f.modifiers)));
        f.modifiers->setAttribute(QStringLiteral("flagNames"),
                                  QStringList(modifierNames.mid(0, 2)));
        QCOMPARE(modifiers->childCount(), 2);
        QVERIFY(!modifiers->isExpanded());
        f.browser.setExpanded(f.item(f.modifiers), true);
        f.modifiers->setAttribute(QStringLiteral("flagNames"), modifierNames);
        QCOMPARE(modifiers->childCount(), 4);
        QVERIFY(modifiers->isExpanded());

        // Rows added by hand to a shown property appear in place.
        auto* extra = f.manager.addProperty(QMetaType::Int, QStringLiteral("extra"));
        f.group->addSubProperty(extra);
        QCOMPARE(tree->topLevelItem(6)->childCount(), 1);
        delete extra;
        QCOMPARE(tree->topLevelItem(6)->childCount(), 0);

        f.browser.removeProperty(f.text);
        QCOMPARE(tree->topLevelItemCount(), 6);
        f.browser.clear();
        QCOMPARE(tree->topLevelItemCount(), 0);
        QCOMPARE(f.manager.properties().size(), 13); // the browser never deletes properties
        f.browser.addProperty(f.position);
        f.manager.clear();
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(f.browser.topLevelItems().isEmpty());
    }

    void eachKindGetsItsEditor_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("editorClass");
        QTest::newRow("int") << "interval"
                             << "QSpinBox";
        QTest::newRow("string") << "text"
                                << "QLineEdit";
        QTest::newRow("enum") << "action"
                              << "QComboBox";
        QTest::newRow("bool") << "active"
                              << "QCheckBox";
        QTest::newRow("point coordinate") << "X"
                                          << "QSpinBox";
        QTest::newRow("flag bit") << "Alt"
                                  << "QCheckBox";
        QTest::newRow("point itself") << "position"
                                      << "";
        QTest::newRow("flags themselves") << "modifiers"
                                          << "";
        QTest::newRow("heading") << "group"
                                 << "";
    }

    void eachKindGetsItsEditor()
    {
        QFETCH(QString, row);
        QFETCH(QString, editorClass);
        Fixture f;
        f.browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
        const auto found = f.tree()->findItems(row, Qt::MatchExactly | Qt::MatchRecursive, 0);
        QCOMPARE(found.size(), 1);
        f.tree()->setCurrentItem(found.first());
        QWidget* editor = f.browser.currentEditor();
        QCOMPARE(editor ? QString::fromLatin1(editor->metaObject()->className()) : QString(),
                 editorClass);
        if (!editor)
            return;
        // The editor sits in the value column of its row.
        QCOMPARE(editor->parentWidget(), f.tree()->viewport());
        const QRect cell = f.tree()->visualItemRect(found.first());
        QVERIFY(editor->isVisible());
        QVERIFY2(editor->geometry().left() >=
                     f.tree()->columnWidth(0) - f.tree()->header()->offset() - 1,
                 "editor is not in the value column");
        QVERIFY(editor->geometry().intersects(cell));
    }

    void editorsHonourAttributesAndWriteBack()
    {
        Fixture f;
        QSignalSpy values(&f.manager, &QtVariantPropertyManager::valueChanged);

        auto* spin = qobject_cast<QSpinBox*>(f.openEditor(f.interval));
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 100);
        QCOMPARE(spin->value(), 50);
        spin->setValue(42);
        QCOMPARE(f.interval->value().toInt(), 42);
        // Changes made elsewhere show in the open editor without echoing back.
        f.interval->setValue(7);
        QCOMPARE(spin->value(), 7);
        f.interval->setAttribute(QStringLiteral("maximum"), 5);
        QCOMPARE(spin->maximum(), 5);
        QCOMPARE(spin->value(), 5);
        QCOMPARE(values.count(), 3);

        auto* line = qobject_cast<QLineEdit*>(f.openEditor(f.text));
        QVERIFY(line);
        QCOMPARE(line->text(), QStringLiteral("abc"));
        line->selectAll();
        QTest::keyClicks(line, QStringLiteral("xy"));
        QCOMPARE(f.text->value().toString(), QStringLiteral("xy"));

        auto* combo = qobject_cast<QComboBox*>(f.openEditor(f.action));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentIndex(), 1);
        combo->setCurrentIndex(2);
        QCOMPARE(f.action->value().toInt(), 2);

        // One coordinate writes the whole point once.
        values.clear();
        auto* x = qobject_cast<QSpinBox*>(f.openEditor(f.position->subProperties().at(0)));
        QVERIFY(x);
        x->setValue(11);
        QCOMPARE(f.position->value().toPoint(), QPoint(11, 4));
        QCOMPARE(values.count(), 2);
        QCOMPARE(values.at(1).at(0).value<QtProperty*>(), f.position);

        values.clear();
        auto* shift = qobject_cast<QCheckBox*>(f.openEditor(f.modifiers->subProperties().at(0)));
        QVERIFY(shift);
        QVERIFY(!shift->isChecked());
        shift->click();
        QCOMPARE(f.modifiers->value().toInt(), 0b1011);
        QCOMPARE(values.count(), 2);
    }

    void clickingTheValueCellOpensTheEditor()
    {
        Fixture f;
        f.browser.show();
        f.browser.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.browser));
        QTreeWidget* tree = f.tree();
        const auto valueCell = [tree](QTreeWidgetItem* item) {
            const QRect rect = tree->visualItemRect(item);
            return QPoint(tree->columnViewportPosition(1) + 20, rect.center().y());
        };

        QTreeWidgetItem* text = tree->topLevelItem(1);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, valueCell(text));
        QPointer<QWidget> line = qobject_cast<QLineEdit*>(f.browser.currentEditor());
        QVERIFY(line);
        QCOMPARE(QApplication::focusWidget(), line.data());

        // A drop-down list opened by a click shows its entries at once.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, valueCell(tree->topLevelItem(2)));
        auto* combo = qobject_cast<QComboBox*>(f.browser.currentEditor());
        QVERIFY(combo);
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();

        // A check box opened by a click is ticked by the same click.
        QTreeWidgetItem* win = tree->topLevelItem(4)->child(3);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, valueCell(win));
        QVERIFY(qobject_cast<QCheckBox*>(f.browser.currentEditor()));
        QCOMPARE(f.modifiers->value().toInt(), 0b0010);
        // The previous editor is gone.
        QTRY_VERIFY(!line);

        // Disabled rows open nothing, and disabling the edited row closes its editor.
        f.interval->setEnabled(false);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, valueCell(tree->topLevelItem(0)));
        QVERIFY(!f.browser.currentEditor() || !qobject_cast<QSpinBox*>(f.browser.currentEditor()));
        f.text->setEnabled(true);
        f.browser.setCurrentItem(f.item(f.text));
        QVERIFY(f.browser.currentEditor());
        f.text->setEnabled(false);
        QVERIFY(!f.browser.currentEditor());
    }

    void customFactoryEditorsAndTheirLifetime()
    {
        QtVariantPropertyManager manager;
        auto factory = std::make_unique<KeyEditorFactory>();
        QtTreePropertyBrowser browser;
        browser.setFactoryForManager(&manager, factory.get());
        QtVariantProperty* key = manager.addProperty(QMetaType::QString, QStringLiteral("key"));
        QtVariantProperty* other = manager.addProperty(QMetaType::QString, QStringLiteral("other"));
        key->setValue(QStringLiteral("A"));
        QtBrowserItem* keyItem = browser.addProperty(key);
        QtBrowserItem* otherItem = browser.addProperty(other);

        browser.setCurrentItem(otherItem);
        QCOMPARE(browser.currentEditor()->metaObject()->className(), "QLineEdit");
        browser.setCurrentItem(keyItem);
        QPointer<KeyEdit> editor = qobject_cast<KeyEdit*>(browser.currentEditor());
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("A"));
        emit editor->keyChosen(QStringLiteral("F5"));
        QCOMPARE(key->value().toString(), QStringLiteral("F5"));
        // The browser leaves every key to the editor.
        for (int k : {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Return, Qt::Key_A})
            QTest::keyClick(editor.data(), Qt::Key(k));
        QCOMPARE(editor->keys,
                 (QList<int>{Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Return, Qt::Key_A}));
        QCOMPARE(browser.currentEditor(), editor.data());

        // Once its property is gone the editor says nothing more and is deleted soon after.
        QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
        manager.clear();
        QVERIFY(!browser.currentEditor());
        if (editor)
            emit editor->keyChosen(QStringLiteral("F6"));
        QCOMPARE(values.count(), 0);
        QTRY_VERIFY(!editor);

        // Without a factory (or after it is deleted) rows get no editor.
        QtVariantProperty* again = manager.addProperty(QMetaType::QString, QStringLiteral("again"));
        QtBrowserItem* againItem = browser.addProperty(again);
        factory.reset();
        browser.setCurrentItem(againItem);
        QVERIFY(!browser.currentEditor());
    }
};

KLIQORA_TEST_MAIN(TestTreePropertyBrowser)
#include "tst_treepropertybrowser.moc"
