#pragma once
#include <QLoggingCategory>

namespace platform::x11 {

// The application's "kliqora" category, as seen from the platform layer.
const QLoggingCategory& x11Log();

} // namespace platform::x11
