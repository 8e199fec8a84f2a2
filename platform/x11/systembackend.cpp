#include "null/nullbackend.h"
#include "x11backend.h"

namespace platform {

std::unique_ptr<Backend> createSystemBackend()
{
    if (std::unique_ptr<Backend> x11 = x11::createX11Backend())
        return x11;
    return std::make_unique<NullBackend>();
}

} // namespace platform
