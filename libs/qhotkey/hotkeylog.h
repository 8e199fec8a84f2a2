#pragma once
// The library logs through the application's "kliqora" category by name, so its
// lines follow the same level rules and land in the same log as everything else.

#include <QLoggingCategory>

const QLoggingCategory& hotkeyLog();
