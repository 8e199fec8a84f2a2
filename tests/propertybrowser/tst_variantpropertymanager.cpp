#include "qtvariantproperty.h"
#include "testenvironment.h"

#include <QPoint>
#include <QSignalSpy>

namespace {

const QStringList modifierNames{QStringLiteral("Shift"), QStringLiteral("Ctrl"),
                                QStringLiteral("Alt"), QStringLiteral("Win")};

// Records valueChanged as "name=value" in emission order.
struct ValueLog
{
    QStringList entries;
    explicit ValueLog(QtVariantPropertyManager* manager)
    {
        QObject::connect(manager, &QtVariantPropertyManager::valueChanged, manager,
                         [this](QtProperty* property, const QVariant& value) {
                             entries << property->propertyName() + QLatin1Char('=') +
                                            (value.userType() == QMetaType::QPoint
                                                 ? QStringLiteral("%1,%2")
                                                       .arg(value.toPoint().x())
                                                       .arg(value.toPoint().y())
                                                 : value.toString());
                         });
    }
};

QtVariantProperty* sub(QtProperty* property, int index)
{
    return static_cast<QtVariantProperty*>(property->subProperties().value(index));
}

} // namespace

class TestVariantPropertyManager : public QObject
{
    Q_OBJECT

private slots:
    void supportedTypesAndDefaults()
    {
        QtVariantPropertyManager manager;
        QVERIFY(!manager.addProperty(QMetaType::Double, QStringLiteral("d")));
        QVERIFY(!manager.isPropertyTypeSupported(QMetaType::QSize));

        QtVariantProperty* number = manager.addProperty(QMetaType::Int, QStringLiteral("n"));
        QCOMPARE(number->propertyName(), QStringLiteral("n"));
        QCOMPARE(number->value(), QVariant(0));
        QCOMPARE(number->propertyType(), int(QMetaType::Int));
        QCOMPARE(manager.variantProperty(number), number);

        QtVariantProperty* choice =
            manager.addProperty(QtVariantPropertyManager::enumTypeId(), QStringLiteral("e"));
        QCOMPARE(choice->propertyType(), QtVariantPropertyManager::enumTypeId());
        QCOMPARE(choice->valueType(), int(QMetaType::Int));
        QCOMPARE(choice->value(), QVariant(-1));

        QtVariantProperty* flags =
            manager.addProperty(QtVariantPropertyManager::flagTypeId(), QStringLiteral("f"));
        QCOMPARE(flags->valueType(), int(QMetaType::Int));
        QVERIFY(flags->subProperties().isEmpty());

        QtVariantProperty* group =
            manager.addProperty(QtVariantPropertyManager::groupTypeId(), QStringLiteral("g"));
        QVERIFY(!group->hasValue());
        group->setValue(5);
        QVERIFY(!group->value().isValid());

        QtVariantProperty* text = manager.addProperty(QMetaType::QString, QStringLiteral("s"));
        QCOMPARE(text->value(), QVariant(QString()));
        QVERIFY(number->hasValue() && text->hasValue());
    }

    void intValuesStayInsideTheirBounds_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside") << 1 << 100 << QVariant(50) << 50;
        QTest::newRow("above is clamped") << 1 << 100 << QVariant(500) << 100;
        QTest::newRow("below is clamped") << 1 << 100 << QVariant(-5) << 1;
        QTest::newRow("number text converts") << 0 << 10 << QVariant(QStringLiteral("7")) << 7;
        QTest::newRow("other text is ignored") << 0 << 10 << QVariant(QStringLiteral("x")) << 3;
    }

    void intValuesStayInsideTheirBounds()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(QVariant, input);
        QFETCH(int, expected);
        QtVariantPropertyManager manager;
        QtVariantProperty* number = manager.addProperty(QMetaType::Int, QStringLiteral("n"));
        number->setAttribute(QStringLiteral("minimum"), minimum);
        number->setAttribute(QStringLiteral("maximum"), maximum);
        number->setValue(3);
        number->setValue(input);
        QCOMPARE(number->value().toInt(), expected);
    }

    void boundChangesMoveValueAndOtherBound()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty* number = manager.addProperty(QMetaType::Int, QStringLiteral("n"));
        number->setValue(5);
        QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
        QSignalSpy attributes(&manager, &QtVariantPropertyManager::attributeChanged);

        number->setAttribute(QStringLiteral("maximum"), 3);
        QCOMPARE(number->value().toInt(), 3);
        QCOMPARE(values.count(), 1);
        QCOMPARE(attributes.count(), 1);

        // A minimum above the maximum carries the maximum along.
        number->setAttribute(QStringLiteral("minimum"), 10);
        QCOMPARE(number->attributeValue(QStringLiteral("maximum")).toInt(), 10);
        QCOMPARE(number->value().toInt(), 10);
        QCOMPARE(attributes.count(), 3);

        // Unknown attributes, attributes of other types and unconvertible values are ignored.
        number->setAttribute(QStringLiteral("enumNames"), QStringList{QStringLiteral("a")});
        number->setAttribute(QStringLiteral("minimum"), QStringLiteral("low"));
        QCOMPARE(attributes.count(), 3);
        QVERIFY(!number->attributeValue(QStringLiteral("enumNames")).isValid());
        QCOMPARE(number->attributeValue(QStringLiteral("minimum")).toInt(), 10);
    }

    void enumValueIsAnIndexIntoItsNames()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty* choice =
            manager.addProperty(QtVariantPropertyManager::enumTypeId(), QStringLiteral("e"));
        choice->setValue(0);
        QCOMPARE(choice->value().toInt(), -1); // no names, no index

        // Empty names are kept as entries of their own.
        const QStringList names{QStringLiteral("按下"), QString(), QStringLiteral("敲击")};
        choice->setAttribute(QStringLiteral("enumNames"), names);
        QCOMPARE(choice->attributeValue(QStringLiteral("enumNames")).toStringList(), names);
        QCOMPARE(choice->value().toInt(), 0);
        choice->setValue(2);
        QCOMPARE(choice->value().toInt(), 2);
        QCOMPARE(choice->valueText(), QStringLiteral("敲击"));
        choice->setValue(3);
        choice->setValue(-1);
        QCOMPARE(choice->value().toInt(), 2);

        // Names that still hold the index keep it; fewer names reset it to the first.
        choice->setAttribute(QStringLiteral("enumNames"),
                             QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                         QStringLiteral("c"), QStringLiteral("d")});
        QCOMPARE(choice->value().toInt(), 2);
        choice->setAttribute(QStringLiteral("enumNames"), QStringList{QStringLiteral("a")});
        QCOMPARE(choice->value().toInt(), 0);
    }

    void flagRowsFollowTheBitsBothWays()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty* flags =
            manager.addProperty(QtVariantPropertyManager::flagTypeId(), QStringLiteral("mods"));
        flags->setAttribute(QStringLiteral("flagNames"), modifierNames);
        QCOMPARE(flags->subProperties().size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(sub(flags, i)->propertyName(), modifierNames.at(i));
            QCOMPARE(sub(flags, i)->propertyType(), int(QMetaType::Bool));
        }

        ValueLog log(&manager);
        flags->setValue(0b1010);
        QCOMPARE(log.entries, (QStringList{QStringLiteral("Ctrl=true"), QStringLiteral("Win=true"),
                                           QStringLiteral("mods=10")}));
        QCOMPARE(flags->valueText(), QStringLiteral("Ctrl|Win"));

        log.entries.clear();
        sub(flags, 0)->setValue(true);
        QCOMPARE(log.entries,
                 (QStringList{QStringLiteral("Shift=true"), QStringLiteral("mods=11")}));
        log.entries.clear();
        sub(flags, 3)->setValue(false);
        QCOMPARE(flags->value().toInt(), 0b0011);
        sub(flags, 3)->setValue(false);
        QCOMPARE(log.entries.size(), 2);

        // Bits beyond the names are refused.
        flags->setValue(0b10000);
        QCOMPARE(flags->value().toInt(), 0b0011);

        // Fewer names: fewer rows, and the bits without a name are dropped.
        flags->setAttribute(QStringLiteral("flagNames"), QStringList(modifierNames.mid(0, 1)));
        QCOMPARE(flags->subProperties().size(), 1);
        QCOMPARE(flags->value().toInt(), 1);
        QVERIFY(sub(flags, 0)->value().toBool());
        QCOMPARE(manager.properties().size(), 2);
    }

    void pointRowsFollowThePointBothWays()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty* point = manager.addProperty(QMetaType::QPoint, QStringLiteral("pos"));
        const QList<QtProperty*> rows = point->subProperties();
        QCOMPARE(rows.size(), 2);
        QtVariantProperty* x = sub(point, 0);
        QtVariantProperty* y = sub(point, 1);
        QCOMPARE(x->propertyName(), QStringLiteral("X"));
        QCOMPARE(y->propertyName(), QStringLiteral("Y"));

        ValueLog log(&manager);
        point->setValue(QPoint(120, 45));
        QCOMPARE(log.entries, (QStringList{QStringLiteral("X=120"), QStringLiteral("Y=45"),
                                           QStringLiteral("pos=120,45")}));
        QCOMPARE(point->valueText(), QStringLiteral("(120, 45)"));

        // Editing one coordinate changes the whole point once.
        log.entries.clear();
        x->setValue(7);
        QCOMPARE(log.entries, (QStringList{QStringLiteral("X=7"), QStringLiteral("pos=7,45")}));
        QCOMPARE(point->value().toPoint(), QPoint(7, 45));

        log.entries.clear();
        point->setValue(QPoint(7, 45));
        point->setValue(QPoint(7, 46));
        QCOMPARE(log.entries, (QStringList{QStringLiteral("Y=46"), QStringLiteral("pos=7,46")}));
    }

    void rowChangesAreAnnounced()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty* text = manager.addProperty(QMetaType::QString, QStringLiteral("s"));
        QSignalSpy changed(&manager, &QtAbstractPropertyManager::propertyChanged);
        QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
        text->setValue(QStringLiteral("a"));
        text->setValue(QStringLiteral("a"));
        text->setEnabled(false);
        text->setEnabled(false);
        text->setPropertyName(QStringLiteral("t"));
        QCOMPARE(values.count(), 1);
        QCOMPARE(changed.count(), 3);
        QVERIFY(!text->isEnabled());
        // A disabled row still takes values from code.
        text->setValue(QStringLiteral("b"));
        QCOMPARE(text->value().toString(), QStringLiteral("b"));
    }

    void subPropertiesRefuseCyclesAndDuplicates()
    {
        QtVariantPropertyManager manager;
        auto* a = manager.addProperty(QtVariantPropertyManager::groupTypeId(), QStringLiteral("a"));
        auto* b = manager.addProperty(QMetaType::Int, QStringLiteral("b"));
        auto* c = manager.addProperty(QMetaType::Int, QStringLiteral("c"));
        QSignalSpy inserted(&manager, &QtAbstractPropertyManager::propertyInserted);
        a->addSubProperty(b);
        a->addSubProperty(b);
        a->addSubProperty(a);
        a->insertSubProperty(c, nullptr);
        QCOMPARE(a->subProperties(), (QList<QtProperty*>{c, b}));
        b->addSubProperty(a); // a is an ancestor of b
        QVERIFY(b->subProperties().isEmpty());
        QCOMPARE(inserted.count(), 2);

        QSignalSpy removed(&manager, &QtAbstractPropertyManager::propertyRemoved);
        delete c;
        QCOMPARE(a->subProperties(), (QList<QtProperty*>{b}));
        QCOMPARE(removed.count(), 1);
        // Deleting a parent leaves a child added by hand alive and parentless.
        delete a;
        QCOMPARE(b->propertyName(), QStringLiteral("b"));
        QCOMPARE(manager.properties(), (QSet<QtProperty*>{b}));
    }

    void clearDeletesEveryRow()
    {
        QtVariantPropertyManager manager;
        manager.addProperty(QMetaType::QPoint, QStringLiteral("pos"));
        auto* flags =
            manager.addProperty(QtVariantPropertyManager::flagTypeId(), QStringLiteral("f"));
        flags->setAttribute(QStringLiteral("flagNames"), modifierNames);
        QCOMPARE(manager.properties().size(), 8);
        QSignalSpy destroyed(&manager, &QtAbstractPropertyManager::propertyDestroyed);
        manager.clear();
        QCOMPARE(destroyed.count(), 8);
        QVERIFY(manager.properties().isEmpty());
    }

    void aSlotMayDeleteTheParentWhileAChildIsAnnounced()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty* point = manager.addProperty(QMetaType::QPoint, QStringLiteral("pos"));
        QtVariantProperty* x = sub(point, 0);
        ValueLog log(&manager);
        connect(&manager, &QtVariantPropertyManager::valueChanged, this,
                [&manager, x](QtProperty* property) {
                    if (property == x)
                        manager.clear();
                });
        x->setValue(3);
        QCOMPARE(log.entries, QStringList{QStringLiteral("X=3")});
        QVERIFY(manager.properties().isEmpty());
        // Writes to properties that are gone are ignored.
        manager.setValue(x, 4);
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestVariantPropertyManager)
#include "tst_variantpropertymanager.moc"
