// The designer's property panel: rows built from an object's properties and class
// information, edits written back through the setters, and the custom editors.

#include "flow.h"
#include "keyboardoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "propertypanel/kliqorapropertybrowser.h"
#include "propertypanel/operationpropertybrowser.h"
#include "propertypanel/propertypanelwidget.h"
#include "textinputoperation.h"

#include "testenvironment.h"

#include <qtvariantproperty.h>

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeWidget>

// A class with the row kinds the system's classes do not all have.
class Fixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int bounded READ bounded WRITE setBounded)
    Q_PROPERTY(int malformed READ malformed WRITE setMalformed)
    Q_PROPERTY(QPoint spot READ spot WRITE setSpot)
    Q_PROPERTY(int fixed READ fixed)
    Q_PROPERTY(QDateTime stamp READ stamp WRITE setStamp)
    Q_PROPERTY(QString unlabelled READ unlabelled WRITE setUnlabelled)
    Q_CLASSINFO("prop_bounded", "有界")
    Q_CLASSINFO("editor_bounded", "SPINBOX")
    Q_CLASSINFO("range_bounded", "5-20")
    Q_CLASSINFO("prop_malformed", "错范围")
    Q_CLASSINFO("editor_malformed", "SPINBOX")
    Q_CLASSINFO("range_malformed", "5-20-30")
    Q_CLASSINFO("prop_spot", "点")
    Q_CLASSINFO("prop_fixed", "只读")
    Q_CLASSINFO("prop_unlabelled", "")

public:
    int bounded() const { return m_bounded; }
    void setBounded(int v) { m_bounded = v; }
    int malformed() const { return m_malformed; }
    void setMalformed(int v) { m_malformed = v; }
    QPoint spot() const { return m_spot; }
    void setSpot(const QPoint& p)
    {
        m_spot = p;
        ++spotWrites;
    }
    int fixed() const { return 7; }
    QDateTime stamp() const { return QDateTime(); }
    void setStamp(const QDateTime&) {}
    QString unlabelled() const { return QString(); }
    void setUnlabelled(const QString&) {}

    int spotWrites = 0;

private:
    int m_bounded = 10;
    int m_malformed = 100;
    QPoint m_spot{3, 4};
};

class TestPropertyPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rows_data();
    void rows();
    void headerLabels();
    void fixtureRows();
    void comboStoresIndex_data();
    void comboStoresIndex();
    void flagsStoreModifiers();
    void pointChildWritesWholePointOnce();
    void readOnlyRowIsNeverWritten();
    void sameObjectKeepsRows();
    void otherObjectAndNullReplaceRows();
    void deletedObjectEmptiesPanel();
    void editFeedsModelDataChanged();

private:
    QtVariantProperty* row(const QString& label) const;
    QStringList labels() const;

    PropertyPanelWidget* m_panel = nullptr;
};

void TestPropertyPanel::init()
{
    m_panel = new PropertyPanelWidget;
}

void TestPropertyPanel::cleanup()
{
    delete m_panel;
    m_panel = nullptr;
}

QtVariantProperty* TestPropertyPanel::row(const QString& label) const
{
    KliqoraPropertyBrowser* browser = m_panel->propertyBrowser();
    for (QtProperty* p : browser->tree()->properties()) {
        if (p->propertyName() == label)
            return browser->manager()->variantProperty(p);
    }
    return nullptr;
}

QStringList TestPropertyPanel::labels() const
{
    QStringList result;
    for (QtProperty* p : m_panel->propertyBrowser()->tree()->properties())
        result << p->propertyName();
    return result;
}

void TestPropertyPanel::rows_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("expectedLabels");
    QTest::addColumn<QList<int>>("expectedTypes");
    QTest::addColumn<QList<bool>>("expectedEnabled");

    const int intType = QMetaType::Int;
    const int enumType = QtVariantPropertyManager::enumTypeId();
    const int flagType = QtVariantPropertyManager::flagTypeId();
    const int stringType = QMetaType::QString;
    const int pointType = QMetaType::QPoint;
    const QString interval = QStringLiteral("执行间隔（毫秒）");

    QTest::newRow("mouse click") << "click"
                                 << QStringList{interval, QStringLiteral("位置坐标"),
                                                QStringLiteral("点击类型"),
                                                QStringLiteral("点击按键")}
                                 << QList<int>{intType, pointType, enumType, enumType}
                                 << QList<bool>{true, true, true, true};
    QTest::newRow("mouse move") << "move" << QStringList{interval, QStringLiteral("位置坐标")}
                                << QList<int>{intType, pointType} << QList<bool>{true, true};
    QTest::newRow("key input") << "key"
                               << QStringList{interval, QStringLiteral("按键动作"),
                                              QStringLiteral("按键"), QStringLiteral("修饰键")}
                               << QList<int>{intType, enumType, stringType, flagType}
                               << QList<bool>{true, true, true, true};
    QTest::newRow("text input") << "text" << QStringList{interval, QStringLiteral("输入内容")}
                                << QList<int>{intType, stringType} << QList<bool>{true, true};
    QTest::newRow("flow") << "flow"
                          << QStringList{QStringLiteral("流名称"), QStringLiteral("流描述"),
                                         QStringLiteral("创建时间"), QStringLiteral("修改时间")}
                          << QList<int>{stringType, stringType, stringType, stringType}
                          << QList<bool>{false, true, false, false};
}

void TestPropertyPanel::rows()
{
    QFETCH(QString, type);
    QFETCH(QStringList, expectedLabels);
    QFETCH(QList<int>, expectedTypes);
    QFETCH(QList<bool>, expectedEnabled);

    QScopedPointer<QObject> object;
    if (type == QLatin1String("click"))
        object.reset(new MouseClickOperation);
    else if (type == QLatin1String("move"))
        object.reset(new MouseMoveOperation);
    else if (type == QLatin1String("key"))
        object.reset(new KeyboardOperation);
    else if (type == QLatin1String("text"))
        object.reset(new TextInputOperation);
    else
        object.reset(new Flow);

    m_panel->showObject(object.data());
    QCOMPARE(m_panel->currentObject(), object.data());
    QCOMPARE(labels(), expectedLabels);
    for (int i = 0; i < expectedLabels.size(); ++i) {
        QtVariantProperty* p = row(expectedLabels.at(i));
        QVERIFY2(p->propertyType() == expectedTypes.at(i), qPrintable(expectedLabels.at(i)));
        QVERIFY2(p->isEnabled() == expectedEnabled.at(i), qPrintable(expectedLabels.at(i)));
    }
}

void TestPropertyPanel::headerLabels()
{
    auto* tree = m_panel->propertyBrowser()->tree()->findChild<QTreeWidget*>();
    QVERIFY(tree);
    QCOMPARE(tree->headerItem()->text(0), QStringLiteral("属性"));
    QCOMPARE(tree->headerItem()->text(1), QStringLiteral("值"));
}

void TestPropertyPanel::fixtureRows()
{
    Fixture fixture;
    fixture.setObjectName(QStringLiteral("fixture"));
    m_panel->showObject(&fixture);

    // objectName and the type the manager cannot show get no row; an empty label
    // falls back to the property name.
    QCOMPARE(labels(),
             (QStringList{QStringLiteral("有界"), QStringLiteral("错范围"), QStringLiteral("点"),
                          QStringLiteral("只读"), QStringLiteral("unlabelled")}));
    QCOMPARE(row(QStringLiteral("有界"))->attributeValue(QStringLiteral("minimum")).toInt(), 5);
    QCOMPARE(row(QStringLiteral("有界"))->attributeValue(QStringLiteral("maximum")).toInt(), 20);
    QCOMPARE(row(QStringLiteral("有界"))->value().toInt(), 10);
    // A malformed range leaves the row unbounded: the value is not clamped.
    QCOMPARE(row(QStringLiteral("错范围"))->value().toInt(), 100);
    row(QStringLiteral("错范围"))->setValue(100000);
    QCOMPARE(fixture.malformed(), 100000);
    QCOMPARE(row(QStringLiteral("点"))->value().toPoint(), QPoint(3, 4));
    QVERIFY(!row(QStringLiteral("只读"))->isEnabled());
    QCOMPARE(fixture.spotWrites, 0); // loading writes nothing
}

void TestPropertyPanel::comboStoresIndex_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("expected");

    QTest::newRow("tap") << "key" << QStringLiteral("按键动作")
                         << QStringLiteral("敲击（按下+抬起）") << QByteArray("eventType") << 2;
    QTest::newRow("double click") << "click" << QStringLiteral("点击类型") << QStringLiteral("双击")
                                  << QByteArray("clickType") << 1;
    QTest::newRow("middle button") << "click" << QStringLiteral("点击按键")
                                   << QStringLiteral("中键") << QByteArray("clickButton") << 2;
}

void TestPropertyPanel::comboStoresIndex()
{
    QFETCH(QString, type);
    QFETCH(QString, label);
    QFETCH(QString, choice);
    QFETCH(QByteArray, property);
    QFETCH(int, expected);

    QScopedPointer<Operation> op(type == QLatin1String("key")
                                     ? static_cast<Operation*>(new KeyboardOperation)
                                     : new MouseClickOperation);
    m_panel->showObject(op.data());
    QSignalSpy changed(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);

    // Choose the entry in the row's own drop-down list, as the user does.
    OperationPropertyBrowser* tree = m_panel->propertyBrowser()->tree();
    tree->setCurrentItem(tree->topLevelItem(row(label)));
    auto* combo = qobject_cast<QComboBox*>(tree->currentEditor());
    QVERIFY(combo);
    combo->setCurrentIndex(combo->findText(choice));

    QCOMPARE(op->property(property.constData()).toInt(), expected);
    QCOMPARE(changed.count(), 1);
    const QList<QVariant> args = changed.first();
    QVERIFY(!args.at(0).toModelIndex().isValid());
    QVERIFY(!args.at(1).toModelIndex().isValid());
    QVERIFY(args.at(2).value<QVector<int>>().isEmpty());
}

void TestPropertyPanel::flagsStoreModifiers()
{
    KeyboardOperation op;
    op.setModifiers(Qt::ShiftModifier);
    m_panel->showObject(&op);
    QtVariantProperty* flags = row(QStringLiteral("修饰键"));
    QCOMPARE(flags->value().toInt(), 0x1);

    QtVariantPropertyManager* manager = m_panel->propertyBrowser()->manager();
    const QList<QtProperty*> boxes = flags->subProperties();
    QCOMPARE(boxes.size(), 4);
    QSignalSpy changed(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);
    manager->setValue(boxes.at(0), false); // Shift off
    manager->setValue(boxes.at(1), true);  // Ctrl
    manager->setValue(boxes.at(3), true);  // Win
    QCOMPARE(op.modifiers(), Qt::KeyboardModifiers(Qt::ControlModifier | Qt::MetaModifier));
    QCOMPARE(changed.count(), 3); // one per tick, not one per row touched

    // Shown again (after another object), the same boxes are ticked.
    TextInputOperation other;
    m_panel->showObject(&other);
    m_panel->showObject(&op);
    const QList<QtProperty*> again = row(QStringLiteral("修饰键"))->subProperties();
    QList<bool> ticked;
    for (QtProperty* box : again)
        ticked << manager->value(box).toBool();
    QCOMPARE(ticked, (QList<bool>{false, true, false, true}));
}

void TestPropertyPanel::pointChildWritesWholePointOnce()
{
    Fixture fixture;
    m_panel->showObject(&fixture);
    QSignalSpy changed(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);
    QtProperty* x = row(QStringLiteral("点"))->subProperties().value(0);
    QVERIFY(x);
    m_panel->propertyBrowser()->manager()->setValue(x, 250);
    QCOMPARE(fixture.spot(), QPoint(250, 4));
    QCOMPARE(fixture.spotWrites, 1);
    QCOMPARE(changed.count(), 1);
}

void TestPropertyPanel::readOnlyRowIsNeverWritten()
{
    Flow flow;
    flow.setName(QStringLiteral("甲"));
    m_panel->showObject(&flow);
    QSignalSpy changed(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged);

    // A disabled row gets no editor.
    OperationPropertyBrowser* tree = m_panel->propertyBrowser()->tree();
    tree->setCurrentItem(tree->topLevelItem(row(QStringLiteral("流名称"))));
    QVERIFY(!tree->currentEditor());

    tree->setCurrentItem(tree->topLevelItem(row(QStringLiteral("流描述"))));
    auto* edit = qobject_cast<QLineEdit*>(tree->currentEditor());
    QVERIFY(edit);
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QCOMPARE(flow.description(), QStringLiteral("ab"));
    QCOMPARE(flow.name(), QStringLiteral("甲"));
    QCOMPARE(changed.count(), 2);
}

void TestPropertyPanel::sameObjectKeepsRows()
{
    MouseClickOperation op;
    m_panel->showObject(&op);
    OperationPropertyBrowser* tree = m_panel->propertyBrowser()->tree();
    const QList<QtProperty*> before = tree->properties();
    QtBrowserItem* point = tree->topLevelItem(row(QStringLiteral("位置坐标")));
    tree->setExpanded(point, false);

    m_panel->showObject(&op);
    QCOMPARE(tree->properties(), before);
    QVERIFY(!tree->isExpanded(tree->topLevelItem(row(QStringLiteral("位置坐标")))));
}

void TestPropertyPanel::otherObjectAndNullReplaceRows()
{
    MouseClickOperation click;
    TextInputOperation text;
    m_panel->showObject(&click);
    m_panel->showObject(&text);
    QCOMPARE(labels(),
             (QStringList{QStringLiteral("执行间隔（毫秒）"), QStringLiteral("输入内容")}));
    // The rows of the first object went with it: its rows no longer write anywhere.
    QCOMPARE(m_panel->propertyBrowser()->manager()->properties().size(), 2);

    m_panel->showObject(nullptr);
    QVERIFY(labels().isEmpty());
    QVERIFY(!m_panel->currentObject());
    QVERIFY(m_panel->propertyBrowser()->manager()->properties().isEmpty());
}

void TestPropertyPanel::deletedObjectEmptiesPanel()
{
    auto* op = new KeyboardOperation;
    m_panel->showObject(op);
    OperationPropertyBrowser* tree = m_panel->propertyBrowser()->tree();
    tree->setCurrentItem(tree->topLevelItem(row(QStringLiteral("按键"))));
    QVERIFY(tree->currentEditor());
    delete op;
    QVERIFY(labels().isEmpty());
    QVERIFY(!m_panel->currentObject());

    // The next object is shown, even should it get the old address.
    auto* next = new KeyboardOperation;
    m_panel->showObject(next);
    QCOMPARE(labels().size(), 4);
    delete next;
}

void TestPropertyPanel::editFeedsModelDataChanged()
{
    // The designer connects the signal straight to a model's dataChanged.
    QStandardItemModel model;
    QVERIFY(connect(m_panel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged, &model,
                    &QAbstractItemModel::dataChanged));
    QSignalSpy dataChanged(&model, &QAbstractItemModel::dataChanged);
    TextInputOperation op;
    m_panel->showObject(&op);
    row(QStringLiteral("输入内容"))->setValue(QStringLiteral("你好"));
    QCOMPARE(op.text(), QStringLiteral("你好"));
    QCOMPARE(dataChanged.count(), 1);
}

KLIQORA_TEST_MAIN(TestPropertyPanel)
#include "tst_propertypanel.moc"
