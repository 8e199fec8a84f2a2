#pragma once
// The one table of the main program's command-line options. The parser, --help,
// the man page and the bash completion are all made from it, so each option is
// named and described in one place. Plain C++: the build's documentation tool
// compiles it as well.

namespace CommandOptions {

enum class Id
{
    Help,
    Version,
    Toggle,
    Stop,
    Show,
    Quit,
    Run,
    Repeat,
    Speed,
    List,
    Convert,
    AllMoves
};

// What a shell completes as the option's value.
enum class ValueKind
{
    None,     // a switch
    Job,      // a job of the running instance: JobNames, replay:NAME, flow:NAME
    File,     // a file name
    Number,   // nothing to complete
    ListWhat, // one of ListWhatNames
};

struct Option
{
    Id id;
    const char* shortName; // "" when none
    const char* longName;
    const char* valueName; // "" for a switch
    ValueKind value;
    const char* description; // one line
};

// clang-format off
inline constexpr Option Options[] = {
    {Id::Help,    "h", "help",    "",     ValueKind::None,
     "Show this help and exit."},
    {Id::Version, "v", "version", "",     ValueKind::None,
     "Print the version and exit."},
    {Id::Toggle,  "",  "toggle",  "JOB",  ValueKind::Job,
     "Start JOB in the running Kliqora, or stop it when it runs: clicker, keys, recorder, "
     "replay:NAME or flow:NAME."},
    {Id::Stop,    "",  "stop",    "",     ValueKind::None,
     "Stop the job that runs in the running Kliqora."},
    {Id::Show,    "",  "show",    "",     ValueKind::None,
     "Bring up the main window of the running Kliqora."},
    {Id::Quit,    "",  "quit",    "",     ValueKind::None,
     "Quit the running Kliqora as the exit entry of its tray menu does."},
    {Id::Run,     "",  "run",     "FILE", ValueKind::File,
     "Run a flow file or a recording file in this process, without any window, and exit."},
    {Id::Repeat,  "",  "repeat",  "N",    ValueKind::Number,
     "With --run: run it N times; 0 runs it again and again until stopped (default 1)."},
    {Id::Speed,   "",  "speed",   "F",    ValueKind::Number,
     "With --run: replay a recording F times as fast, 0.25 to 4 (default 1; flows ignore it)."},
    {Id::List,    "",  "list",    "WHAT", ValueKind::ListWhat,
     "Print the names of the flows or of the recordings, one a line (WHAT: flows, recordings)."},
    {Id::Convert, "",  "convert", "FILE", ValueKind::File,
     "Turn the recording FILE into a new flow file named after it (Kliqora --convert FILE "
     "FLOW.flw), and exit."},
    {Id::AllMoves, "", "all-moves", "",   ValueKind::None,
     "With --convert: keep every recorded pointer move instead of the shape of the path."},
};
// clang-format on

inline constexpr int OptionCount = int(sizeof Options / sizeof Options[0]);

// The jobs of --toggle that take no name, and the prefixes of those that do.
inline constexpr const char* JobNames[] = {"clicker", "keys", "recorder"};
inline constexpr char ReplayPrefix[] = "replay:";
inline constexpr char FlowPrefix[] = "flow:";

// The values of --list.
inline constexpr char ListFlows[] = "flows";
inline constexpr char ListRecordings[] = "recordings";

constexpr const Option& option(Id id)
{
    for (const Option& entry : Options) {
        if (entry.id == id)
            return entry;
    }
    return Options[0];
}

} // namespace CommandOptions
