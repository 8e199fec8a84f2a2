#pragma once
// What the main program's arguments ask for, read with QCommandLineParser from the
// option table (commandoptions.h).

#include "controlprotocol.h"

#include <QString>
#include <QStringList>

// The options of a run without any window (--run).
struct RunOptions
{
    QString file;
    int repeat = 1;     // 0: until stopped
    double speed = 1.0; // recordings only
};

// The options of a conversion of a recording into a flow (--convert).
struct ConvertOptions
{
    QString recording;
    QString flow; // a new file, named *.flw
    bool keepAllMoves = false;
};

struct CommandLineRequest
{
    enum class Mode
    {
        StartProgram, // no option: the program with its window
        Help,
        Version,
        Control, // a request for the running instance
        Run,
        List,
        Convert,
        BadUsage,
    };

    Mode mode = Mode::StartProgram;
    ControlProtocol::Request control; // Control
    RunOptions run;                   // Run
    ConvertOptions convert;           // Convert
    QString listWhat;                 // List: CommandOptions::ListFlows or ListRecordings
    QString error;                    // BadUsage: one line
};

// arguments[0] is the program.
CommandLineRequest parseCommandLine(const QStringList& arguments);

// The text of --help: usage, what the program does, one line per option.
// Needs the application object (the usage line names the program as started).
QString commandLineHelpText();

// "Kliqora 2.0.0".
QString commandLineVersionText();
