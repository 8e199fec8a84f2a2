#pragma once
// The man page kliqora.1 (troff), made at build time from the option table.

#include <string>

// `version` as --version prints it after the program's name, e.g. "2.0.0".
std::string manPage(const std::string& version);
