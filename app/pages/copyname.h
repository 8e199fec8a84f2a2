#pragma once
// The file name of a copy: "<prefix><base>" next to the source, or, while that
// file exists, "<prefix><base>_<n>" with n drawn at random from 10 to 98. Every
// number is tried at most once; when all of them are taken the search goes on
// with 99, 100, ... so it always ends.

#include <QString>

namespace CopyName {

constexpr int FirstNumber = 10;
constexpr int LastNumber = 98;

// Full path of the copy of `sourcePath` (same folder, same suffix).
QString copyPath(const QString& sourcePath, const QString& prefix);

} // namespace CopyName
