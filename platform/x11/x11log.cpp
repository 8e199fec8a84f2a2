#include "x11log.h"

namespace platform::x11 {

Q_LOGGING_CATEGORY(x11LogCategory, "kliqora")

const QLoggingCategory& x11Log()
{
    return x11LogCategory();
}

} // namespace platform::x11
