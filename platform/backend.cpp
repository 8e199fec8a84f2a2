#include "backend.h"

#include <utility>

namespace platform {

// Each build provides the backend of its system (see the backend folders).
std::unique_ptr<Backend> createSystemBackend();

namespace {
std::unique_ptr<Backend>& current()
{
    static std::unique_ptr<Backend> instance = createSystemBackend();
    return instance;
}
} // namespace

Backend& backend() { return *current(); }

std::unique_ptr<Backend> installBackend(std::unique_ptr<Backend> replacement)
{
    std::unique_ptr<Backend> previous = std::move(current());
    current() = std::move(replacement);
    return previous;
}

} // namespace platform
