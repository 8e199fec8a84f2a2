#include "manpage.h"

#include "../commandoptions.h"

#include <sstream>

namespace {

// Text as troff prints it: backslashes and minus signs escaped, and a line that
// would start with a control character made plain.
std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\''))
        out.insert(0, "\\&");
    return out;
}

// The option's tag line: "-h, --help" in bold, a value name in italics.
std::string tagLine(const CommandOptions::Option& option)
{
    std::string names;
    if (*option.shortName)
        names += "\\fB\\-" + std::string(option.shortName) + "\\fR, ";
    names += "\\fB\\-\\-" + std::string(option.longName) + "\\fR";
    if (*option.valueName)
        names += " \\fI" + std::string(option.valueName) + "\\fR";
    return names;
}

const char Description[] =
    "Kliqora automates keyboard and mouse input for the whole desktop: a mouse clicker, a key\n"
    "presser, a recorder that replays your own actions, and flows built in KliqoraDesigner.\n"
    ".PP\n"
    "Without options it starts with its window and tray icon; a second start does nothing while\n"
    "one runs. With an option it controls the running Kliqora through a local socket that only\n"
    "the same user can reach (a start with \\fB\\-\\-toggle\\fR or \\fB\\-\\-show\\fR starts "
    "Kliqora\n"
    "first when none runs), runs a flow or a recording without any window, or prints\n"
    "information.\n";

const char Jobs[] =
    ".SH JOBS\n"
    "The \\fIJOB\\fR of \\fB\\-\\-toggle\\fR does what the job's own hotkey does: it starts the\n"
    "job, or stops it when it runs.\n"
    ".TP\n\\fBclicker\\fR, \\fBkeys\\fR, \\fBrecorder\\fR\n"
    "The mouse clicker, the key presser, recording your own actions.\n"
    ".TP\n\\fBreplay:\\fR\\fINAME\\fR\n"
    "Replays the recording listed as \\fINAME\\fR on the record page.\n"
    ".TP\n\\fBflow:\\fR\\fINAME\\fR\n"
    "Runs the flow listed as \\fINAME\\fR on the custom flows page.\n";

const char ExitStatusSection[] =
    ".SH EXIT STATUS\n"
    ".TP\n.B 0\nDone; for \\fB\\-\\-run\\fR: the run ended by itself.\n"
    ".TP\n.B 1\nRefused: another job runs, or the job's settings are incomplete (the reason is\n"
    "printed), or the running Kliqora does not answer.\n"
    ".TP\n.B 2\nBad usage, an unknown job or name (the names there are are printed), or a file\n"
    "that cannot be run.\n"
    ".TP\n.BR 130 \", \" 143\n\\fB\\-\\-run\\fR was stopped by SIGINT or SIGTERM; every key and\n"
    "button it held was released.\n";

const char Examples[] =
    ".SH EXAMPLES\n"
    ".TP\n.B Kliqora \\-\\-toggle clicker\n"
    "Starts or stops the mouse clicker; bind it to a key in the desktop's shortcut settings.\n"
    ".TP\n.B Kliqora \\-\\-toggle \\(dqflow:Daily report\\(dq\n"
    "Runs the flow named \"Daily report\".\n"
    ".TP\n.B Kliqora \\-\\-run login.kqt \\-\\-repeat 3 \\-\\-speed 2\n"
    "Replays a recording three times, twice as fast, without any window.\n"
    ".TP\n.B Kliqora \\-\\-convert login.kqt login.flw\n"
    "Turns a recording into a new flow, to edit step by step in KliqoraDesigner.\n";

const char Files[] = ".SH FILES\n"
                     ".TP\n.I ~/Documents/Kliqora/Custom/*.flw\n"
                     "The flows (the folder above Kliqora can be chosen in the settings).\n"
                     ".TP\n.I ~/Documents/Kliqora/Record/*.kqt\n"
                     "The recordings.\n"
                     ".TP\n.I ~/.config/Kliqora/Kliqora.conf\n"
                     "The settings.\n";

} // namespace

std::string manPage(const std::string& version)
{
    std::ostringstream out;
    out << ".TH KLIQORA 1 \"\" \"Kliqora " << version << "\" \"User Commands\"\n"
        << ".SH NAME\nKliqora \\- keyboard and mouse input automation for the desktop\n"
        << ".SH SYNOPSIS\n.B Kliqora\n.RI [ OPTION ]\n"
        << ".SH DESCRIPTION\n"
        << Description << ".SH OPTIONS\n";
    for (const CommandOptions::Option& option : CommandOptions::Options)
        out << ".TP\n" << tagLine(option) << '\n' << escaped(option.description) << '\n';
    out << Jobs << ExitStatusSection << Examples << Files;
    return out.str();
}
