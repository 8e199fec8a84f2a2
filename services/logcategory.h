#pragma once
// The "kliqora" logging category: every message of both programs goes through it
// (qCDebug/qCInfo/qCWarning(logCategory())), so one filter rule set controls them.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(logCategory)
