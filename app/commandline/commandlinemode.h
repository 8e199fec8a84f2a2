#pragma once
// The main program's command line, handled before its window: help, version, the
// names of flows and recordings, a run without any window, and the requests handed
// to the running instance (see commandoptions.h for the options).

#include "controlprotocol.h"

#include <QString>

#include <optional>

struct CommandLineOutcome
{
    // Start the program with its window and, when `command` is set, carry it out
    // once the pages are loaded: no instance ran to take it.
    bool startProgram = false;
    std::optional<ControlProtocol::Request> command;
    int exitStatus = 0; // when not starting
};

// Reads the arguments with an application object of its own, gone on return (the
// program's comes after it). `instanceKey` is the single-instance guard's key. Leaves
// the process-wide input and hotkey backends untouched when the program may start.
CommandLineOutcome handleCommandLine(int& argc, char** argv, const QString& instanceKey);

// Hands `request` to the running instance, prints a failure and returns the exit
// status. Needs an application object.
int deliverToRunningInstance(const ControlProtocol::Request& request, const QString& instanceKey);

// Prints what a command carried out at start-up answered, when it failed.
void reportStartupAnswer(const ControlProtocol::Answer& answer);
