#include "platformlog.h"

namespace platform {

Q_LOGGING_CATEGORY(platformLogCategory, "kliqora")

const QLoggingCategory& platformLog()
{
    return platformLogCategory();
}

} // namespace platform
