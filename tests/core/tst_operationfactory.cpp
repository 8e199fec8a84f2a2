#include "keyboardoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "operationfactory.h"
#include "testenvironment.h"
#include "textinputoperation.h"

class TestOperationFactory : public QObject
{
    Q_OBJECT

private slots:
    // Must run first: nothing is registered until a program asks for it.
    void nothingBeforeRegistration()
    {
        QObject owner;
        for (const char* id : {"mouse_click", "mouse_move", "key_input", "text_input", ""})
            QVERIFY2(!OperationFactory::instance()->create(QString::fromLatin1(id), &owner), id);
        QVERIFY(owner.children().isEmpty());
    }

    void createsEachBuiltinType_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("className");
        QTest::newRow("mouse_click") << "mouse_click"
                                     << "MouseClickOperation";
        QTest::newRow("mouse_move") << "mouse_move"
                                    << "MouseMoveOperation";
        QTest::newRow("key_input") << "key_input"
                                   << "KeyboardOperation";
        QTest::newRow("text_input") << "text_input"
                                    << "TextInputOperation";
        QTest::newRow("mouse_wheel") << "mouse_wheel"
                                     << "MouseWheelOperation";
        QTest::newRow("loop_start") << "loop_start"
                                    << "LoopStartOperation";
        QTest::newRow("loop_end") << "loop_end"
                                  << "LoopEndOperation";
        QTest::newRow("wait_color") << "wait_color"
                                    << "WaitColorOperation";
    }

    void createsEachBuiltinType()
    {
        QFETCH(QString, id);
        QFETCH(QString, className);
        OperationFactory::instance()->registerBuiltinOperations();
        QObject owner;
        Operation* op = OperationFactory::instance()->create(id, &owner);
        QVERIFY(op);
        QCOMPARE(QString::fromLatin1(op->metaObject()->className()), className);
        QCOMPARE(op->typeId(), id);
        QCOMPARE(op->parent(), &owner);
    }

    void unknownOrMiscasedIdsGiveNull_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("case") << "Mouse_Click";
        QTest::newRow("empty") << "";
        QTest::newRow("padded") << " mouse_click";
        QTest::newRow("unknown") << "mouse_scroll";
    }

    void unknownOrMiscasedIdsGiveNull()
    {
        QFETCH(QString, id);
        OperationFactory::instance()->registerBuiltinOperations();
        QVERIFY(!OperationFactory::instance()->create(id, nullptr));
    }

    void everyCreateIsAFreshDefaultObject()
    {
        OperationFactory::instance()->registerBuiltinOperations();
        QObject owner;
        auto* first = qobject_cast<MouseClickOperation*>(
            OperationFactory::instance()->create(QStringLiteral("mouse_click"), &owner));
        QVERIFY(first);
        first->setClickButton(2);
        first->setPosition(QPoint(5, 6));
        first->setInterval(999);
        auto* second = qobject_cast<MouseClickOperation*>(
            OperationFactory::instance()->create(QStringLiteral("mouse_click"), &owner));
        QVERIFY(second);
        QVERIFY(first != second);
        QCOMPARE(second->parent(), &owner);
        QCOMPARE(second->clickButton(), 0);
        QCOMPARE(second->position(), QPoint(0, 0));
        QCOMPARE(second->interval(), 0);
    }

    void laterRegistrationReplacesThePrototype()
    {
        auto* custom =
            new TextInputOperation(); // lives as long as the process, like all prototypes
        custom->setText(QStringLiteral("template"));
        OperationFactory::instance()->registerOperation(custom);
        std::unique_ptr<Operation> op(
            OperationFactory::instance()->create(QStringLiteral("text_input")));
        QCOMPARE(op->property("text").toString(), QStringLiteral("template"));
        QVERIFY(op.get() != custom);
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestOperationFactory)
#include "tst_operationfactory.moc"
