#pragma once
// The program's version as people read it, made from the one number the update
// check compares (kCurrentVersion: major * 100 + minor * 10 + patch).

#include <QString>

// "2.1.3" for 213.
QString versionText(int version);
// versionText(kCurrentVersion).
QString programVersionText();
