#include "winbackend.h"

namespace platform {

std::unique_ptr<Backend> createSystemBackend()
{
    return std::make_unique<win::WinBackend>();
}

} // namespace platform
