#include "waylandkliqora.h"

#include "platform/backend.h"
#include "waituntil.h"
#include "waylandsession.h"

#include <QtTest>

namespace {
// Generous: a busy build machine is slow to start the program and bind its keys.
constexpr int StartTimeoutMs = 20000;
constexpr int QuitTimeoutMs = 10000;
const QString QtOnX = QStringLiteral("xcb");
} // namespace

WaylandKliqora::WaylandKliqora(const QString& program) : E2eProgram(program) {}

WaylandKliqora::~WaylandKliqora()
{
    if (state() != QProcess::NotRunning)
        quit(QuitTimeoutMs);
}

bool WaylandKliqora::start(const QString& qtPlatform)
{
    QProcessEnvironment environment = processEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), qtPlatform);
    setProcessEnvironment(environment);
    E2eProgram::start();
    if (!waitForStarted(StartTimeoutMs)) {
        qWarning("Kliqora did not start: %s", qPrintable(errorString()));
        return false;
    }
    if (!waitUntil([this] { return state() == QProcess::NotRunning || hasWindow(); },
                   StartTimeoutMs) ||
        state() == QProcess::NotRunning) {
        qWarning("Kliqora shows no window");
        return false;
    }
    return probe().waitUntilAnswering(StartTimeoutMs);
}

bool WaylandKliqora::hasWindow() const
{
    if (processEnvironment().value(QStringLiteral("QT_QPA_PLATFORM")) == QtOnX)
        return !visibleWindows().isEmpty();
    return WaylandSession::hasWindow(processId());
}

bool WaylandKliqora::quitNormally()
{
    return quit(QuitTimeoutMs) && exitStatus() == QProcess::NormalExit;
}

void pressKey(uint16_t vk)
{
    const platform::Input records[] = {platform::Input::keyInput(vk),
                                       platform::Input::keyInput(vk, platform::KeyFlag::KeyUp)};
    QCOMPARE(platform::sendInput(records, 2), 2u);
    platform::backend().waitForDelivery();
}
