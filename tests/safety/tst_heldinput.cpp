// The account of held keys and buttons: what sendInput() leaves down is exactly
// what releaseHeldInput() lets go of, in an order that brings modifiers up last.

#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "testenvironment.h"

#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(std::vector<platform::Input>)

namespace {

using platform::Input;
using Inputs = std::vector<Input>;
namespace Vk = platform::Vk;
namespace Key = platform::KeyFlag;
namespace Mouse = platform::MouseFlag;

Input down(uint16_t vk)
{
    return Input::keyInput(vk);
}
Input up(uint16_t vk)
{
    return Input::keyInput(vk, Key::KeyUp);
}
Input unit(uint16_t u, uint32_t flags = 0)
{
    return Input::keyInput(0, Key::Unicode | flags, u);
}

} // namespace

class TestHeldInput : public QObject
{
    Q_OBJECT

private slots:
    void releasesWhatIsLeftDown_data();
    void releasesWhatIsLeftDown();
};

void TestHeldInput::releasesWhatIsLeftDown_data()
{
    QTest::addColumn<Inputs>("sent");     // each record its own call
    QTest::addColumn<Inputs>("released"); // the one batch releaseHeldInput() sends

    const Input click[] = {Input::mouseInput(Mouse::LeftDown), Input::mouseInput(Mouse::LeftUp)};
    QTest::newRow("nothing sent") << Inputs{} << Inputs{};
    QTest::newRow("tap and click come up by themselves")
        << Inputs{down(Vk::Shift), down('A'), up('A'), up(Vk::Shift), click[0], click[1]}
        << Inputs{};
    QTest::newRow("held key with modifiers: key first, modifiers in reverse")
        << Inputs{down(Vk::Control), down(Vk::Shift), down(Vk::F1 + 11)}
        << Inputs{up(Vk::F1 + 11), up(Vk::Shift), up(Vk::Control)};
    QTest::newRow("repeated press needs one release")
        << Inputs{down('A'), down('A'), down('A')} << Inputs{up('A')};
    QTest::newRow("released in between, pressed again")
        << Inputs{down('A'), up('A'), down('A')} << Inputs{up('A')};
    QTest::newRow("unicode unit held, other unit released")
        << Inputs{unit(0x4F60), unit(0x597D), unit(0x597D, Key::KeyUp)}
        << Inputs{unit(0x4F60, Key::KeyUp)};
    QTest::newRow("unicode unit and virtual key of the same number are different keys")
        << Inputs{down('A'), unit('A'), up('A')} << Inputs{unit('A', Key::KeyUp)};
    QTest::newRow("buttons held in a drag, moves in between")
        << Inputs{Input::mouseInput(Mouse::LeftDown), Input::mouseInput(Mouse::Move, 5, 5),
                  Input::mouseInput(Mouse::RightDown), Input::mouseInput(Mouse::MiddleDown),
                  Input::mouseInput(Mouse::MiddleUp)}
        << Inputs{Input::mouseInput(Mouse::LeftUp), Input::mouseInput(Mouse::RightUp)};
    QTest::newRow("down and up in one record is a whole click")
        << Inputs{Input::mouseInput(Mouse::LeftDown | Mouse::LeftUp)} << Inputs{};
    QTest::newRow("release without a press is ignored")
        << Inputs{up(Vk::Shift), Input::mouseInput(Mouse::RightUp)} << Inputs{};
}

void TestHeldInput::releasesWhatIsLeftDown()
{
    QFETCH(Inputs, sent);
    QFETCH(Inputs, released);

    ScopedRecordingBackend backend;
    for (const Input& input : sent)
        platform::sendInput(&input, 1);
    backend->clear();
    QCOMPARE(platform::releaseHeldInput(), unsigned(released.size()));
    if (released.empty()) {
        QCOMPARE(backend->callCount(), 0);
    } else {
        QCOMPARE(backend->batches().size(), size_t(1));
        QVERIFY(backend->batches().front() == released);
    }
    // Forgotten once released: a second call sends nothing.
    QCOMPARE(platform::releaseHeldInput(), 0u);
}

KLIQORA_TEST_APPLESS_MAIN(TestHeldInput)
#include "tst_heldinput.moc"
