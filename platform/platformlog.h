#pragma once
#include <QLoggingCategory>

namespace platform {

// The application's "kliqora" category, as seen from the platform layer.
const QLoggingCategory& platformLog();

} // namespace platform
