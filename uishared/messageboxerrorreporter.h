#pragma once
// The reporter of the programs with windows: every failure is a warning box with
// an OK button, owned by no window.

#include "errorreporter.h"

class MessageBoxErrorReporter : public ErrorReporter
{
public:
    void showError(const QString& title, const QString& text) override;
};
