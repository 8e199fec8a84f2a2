#include "hotkeylog.h"

Q_LOGGING_CATEGORY(hotkeyLogCategory, "kliqora")

const QLoggingCategory& hotkeyLog()
{
    return hotkeyLogCategory();
}
