#include "platform/backend.h"
#include "heldinput.h"

#include <utility>

namespace platform {

// Each build provides the backend of its system (see the backend folders) and
// says how far its input reaches.
std::unique_ptr<Backend> createSystemBackend(InputReach& reach);

namespace {
InputReach systemReach = InputReach::Nothing;

std::unique_ptr<Backend>& current()
{
    static std::unique_ptr<Backend> instance = createSystemBackend(systemReach);
    return instance;
}

HeldInput& heldInput()
{
    static HeldInput instance;
    return instance;
}

RemoteDesktopPermission& permissionStore()
{
    static RemoteDesktopPermission instance;
    return instance;
}
} // namespace

void setRemoteDesktopPermission(RemoteDesktopPermission permission)
{
    permissionStore() = std::move(permission);
}

const RemoteDesktopPermission& remoteDesktopPermission()
{
    return permissionStore();
}

Backend& backend()
{
    return *current();
}

InputReach inputReach()
{
    current();
    return systemReach;
}

unsigned sendInput(const Input* inputs, unsigned count)
{
    // Noted whatever the result: a batch that failed part way may have pressed a
    // key, and releasing a key that is up does no harm.
    if (inputs)
        heldInput().note(inputs, count);
    return backend().sendInput(inputs, count);
}

unsigned releaseHeldInput()
{
    const std::vector<Input> releases = heldInput().takeReleases();
    const unsigned sent =
        releases.empty() ? 0 : backend().sendInput(releases.data(), unsigned(releases.size()));
    backend().waitForDelivery();
    return sent;
}

std::unique_ptr<Backend> installBackend(std::unique_ptr<Backend> replacement)
{
    std::unique_ptr<Backend> previous = std::move(current());
    current() = std::move(replacement);
    return previous;
}

} // namespace platform
