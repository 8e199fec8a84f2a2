#include "waylandinput.h"

#include <QTest>

namespace WaylandInput {

void sendNow(std::initializer_list<platform::Input> inputs)
{
    QCOMPARE(platform::sendInput(inputs.begin(), unsigned(inputs.size())), unsigned(inputs.size()));
    platform::backend().waitForDelivery();
}

platform::Input moveTo(const QPoint& pixel, const QSize& layout)
{
    return platform::Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                       pixel.x() * 65535 / layout.width(),
                                       pixel.y() * 65535 / layout.height());
}

} // namespace WaylandInput
