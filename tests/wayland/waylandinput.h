#pragma once
// Input sent by a Wayland test through the platform backend, delivered before it returns,
// and the main() of a test whose widgets run with Qt on its Wayland platform.

#include "platform/backend.h"
#include "testenvironment.h"
#include "waylandsession.h"

#include <QPoint>
#include <QSize>

#include <initializer_list>

namespace WaylandInput {

// Sends `inputs` and waits until the compositor has them (a test failure if not all went).
void sendNow(std::initializer_list<platform::Input> inputs);

// An absolute move onto `pixel` of an output layout of `layout` pixels.
platform::Input moveTo(const QPoint& pixel, const QSize& layout);

} // namespace WaylandInput

#define KLIQORA_WAYLAND_WIDGETS_TEST_MAIN(TestObject)                                              \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestHome testHome;                                                                         \
        if (!WaylandSession::enter()) {                                                            \
            qCritical("no headless compositor session (run through ctest)");                       \
            return 1;                                                                              \
        }                                                                                          \
        qputenv("QT_QPA_PLATFORM", "wayland");                                                     \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
