#pragma once
// Shared set-up of the fuzz targets: an offscreen application with HOME and the XDG
// folders in a private temporary folder, logging silenced, and a scratch file that
// receives each input so the loaders read it through their own file code.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Creates the application (QApplication when `widgets`, else QGuiApplication) once.
void init(int* argc, char*** argv, bool widgets = false);
// Writes the input to the scratch file `name` and returns its path.
QString writeInput(const uint8_t* data, size_t size, const QString& name = QStringLiteral("input"));
// Path of another scratch file in the same private folder.
QString scratchPath(const QString& name);
QByteArray readAll(const QString& path);
// Stops the run with a message: libFuzzer keeps the input as a crash.
[[noreturn]] void fail(const char* what);

} // namespace fuzz
