#include "winbackend.h"

namespace platform {

std::unique_ptr<Backend> createSystemBackend(InputReach& reach)
{
    reach = InputReach::Desktop;
    return std::make_unique<win::WinBackend>();
}

} // namespace platform
