// Picking a point on a real X server: the designer window hides, a real button
// press anywhere on the screen (seen by the real global capture) sets the point,
// and the window comes back in front showing it.

#include "mouseclickoperation.h"
#include "platform/backend.h"
#include "propertypanel/kliqorapropertybrowser.h"
#include "propertypanel/operationpropertybrowser.h"
#include "propertypanel/pointselectwidget.h"
#include "propertypanel/propertypanelwidget.h"

#include "testenvironment.h"

#include <qtvariantproperty.h>

#include <QCursor>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>

namespace {

constexpr int WaitMs = 5000;

void pressAndRelease(uint32_t down, uint32_t up)
{
    const platform::Input inputs[] = {platform::Input::mouseInput(down),
                                      platform::Input::mouseInput(up)};
    QCOMPARE(platform::sendInput(inputs, 2), 2u);
}

} // namespace

class TestPropertyPanelPick : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pickWithButton_data();
    void pickWithButton();

private:
    std::unique_ptr<platform::InputCapture> m_probe;
};

void TestPropertyPanelPick::initTestCase()
{
    if (qstrcmp(platform::backend().name(), "x11") != 0)
        QSKIP("needs an X server");
    m_probe = platform::backend().createCapture();
    QVERIFY2(m_probe, "the X server offers no RECORD extension");
}

void TestPropertyPanelPick::pickWithButton_data()
{
    QTest::addColumn<uint32_t>("down");
    QTest::addColumn<uint32_t>("up");
    QTest::addColumn<QPoint>("target");
    QTest::newRow("left") << platform::MouseFlag::LeftDown << platform::MouseFlag::LeftUp
                          << QPoint(1500, 900);
    QTest::newRow("right") << platform::MouseFlag::RightDown << platform::MouseFlag::RightUp
                           << QPoint(1700, 120);
}

void TestPropertyPanelPick::pickWithButton()
{
    QFETCH(uint32_t, down);
    QFETCH(uint32_t, up);
    QFETCH(QPoint, target);

    QMainWindow window;
    auto* panel = new PropertyPanelWidget;
    window.setCentralWidget(panel);
    window.setGeometry(100, 100, 360, 260);
    window.show();
    window.activateWindow(); // no window manager gives it the focus
    QVERIFY(QTest::qWaitForWindowActive(&window));

    MouseClickOperation op;
    panel->showObject(&op);
    OperationPropertyBrowser* tree = panel->propertyBrowser()->tree();
    for (QtProperty* p : tree->properties()) {
        if (p->propertyName() == QStringLiteral("位置坐标"))
            tree->setCurrentItem(tree->topLevelItem(p));
    }
    auto* picker = qobject_cast<PointSelectWidget*>(tree->currentEditor());
    QVERIFY(picker);

    QTest::mouseClick(picker->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(picker->isPicking());
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), WaitMs);

    // The pointer travels first: moving alone ends nothing.
    QCursor::setPos(target);
    QTest::qWait(100);
    QVERIFY(picker->isPicking());

    QSignalSpy picked(picker, &PointSelectWidget::valueChanged);
    pressAndRelease(down, up);
    QVERIFY(picked.wait(WaitMs));
    QCOMPARE(op.position(), target);
    QCOMPARE(picker->findChild<QLineEdit*>()->text(),
             QStringLiteral("%1, %2").arg(target.x()).arg(target.y()));
    QVERIFY(window.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&window, WaitMs));
    QVERIFY(!picker->isPicking());
}

KLIQORA_TEST_MAIN(TestPropertyPanelPick)
#include "tst_propertypanelpick.moc"
