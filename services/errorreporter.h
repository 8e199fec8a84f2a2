#pragma once
// Where a failure the user caused is shown (a flow file that cannot be read or
// written). Code below the programs reports through here and never opens a window
// itself: each program installs the reporter that suits it, and a program without
// one (a fuzzer, a test, a command-line tool) gets the text on standard error.

#include <QString>

class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;

    virtual void showError(const QString& title, const QString& text) = 0;

    // Makes `reporter` the one every later report goes to; nullptr restores standard
    // error. Not owned: it has to outlive every report.
    static void install(ErrorReporter* reporter);

    // Hands the failure to the installed reporter, or writes `text` to standard error.
    static void report(const QString& title, const QString& text);
};
