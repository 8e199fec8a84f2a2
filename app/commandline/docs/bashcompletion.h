#pragma once
// The bash completion of the main program, made at build time from the option
// table: the options, the jobs of --toggle with the names of the recordings and
// flows (asked from the program itself with --list), the values of --list, and
// file names after --run.

#include <string>

std::string bashCompletion();
