#include "commandlinerequest.h"

#include "commandoptions.h"
#include "programversion.h"

#include <QCommandLineParser>
#include <QLocale>

#include <cmath>
#include <vector>

namespace {

using CommandOptions::Id;

// The options that choose what the program does; one at most.
constexpr Id Actions[] = {Id::Toggle, Id::Stop, Id::Show, Id::Quit, Id::Run, Id::List, Id::Convert};

const char ProgramDescription[] =
    "Keyboard and mouse input automation for the desktop. Without options it starts with "
    "its window (or does nothing when it runs already).";

QString longName(Id id)
{
    return QLatin1String(CommandOptions::option(id).longName);
}

QString dashed(Id id)
{
    return QStringLiteral("--") + longName(id);
}

QCommandLineOption parserOption(const CommandOptions::Option& option)
{
    QStringList names;
    if (*option.shortName)
        names << QLatin1String(option.shortName);
    names << QLatin1String(option.longName);
    return QCommandLineOption(names, QLatin1String(option.description),
                              QLatin1String(option.valueName));
}

void addOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QLatin1String(ProgramDescription));
    for (const CommandOptions::Option& option : CommandOptions::Options)
        parser.addOption(parserOption(option));
}

CommandLineRequest inMode(CommandLineRequest::Mode mode)
{
    CommandLineRequest request;
    request.mode = mode;
    return request;
}

CommandLineRequest badUsage(const QString& error)
{
    CommandLineRequest request = inMode(CommandLineRequest::Mode::BadUsage);
    request.error = error;
    return request;
}

// The single value of an option given once; false (with `error`) when given twice.
bool singleValue(const QCommandLineParser& parser, Id id, QString* value, QString* error)
{
    const QStringList values = parser.values(longName(id));
    if (values.size() > 1) {
        *error = QStringLiteral("%1 is given more than once").arg(dashed(id));
        return false;
    }
    *value = values.value(0);
    return true;
}

bool readRepeat(const QCommandLineParser& parser, int* repeat, QString* error)
{
    QString text;
    if (!singleValue(parser, Id::Repeat, &text, error))
        return false;
    if (text.isNull())
        return true;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) {
        *error = QStringLiteral("--repeat takes a whole number from 0 up, not \"%1\"").arg(text);
        return false;
    }
    *repeat = value;
    return true;
}

bool readSpeed(const QCommandLineParser& parser, double* speed, QString* error)
{
    constexpr double Slowest = 0.25;
    constexpr double Fastest = 4.0;
    QString text;
    if (!singleValue(parser, Id::Speed, &text, error))
        return false;
    if (text.isNull())
        return true;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || std::isnan(value) || value < Slowest || value > Fastest) {
        *error = QStringLiteral("--speed takes a number from 0.25 to 4, not \"%1\"").arg(text);
        return false;
    }
    *speed = value;
    return true;
}

CommandLineRequest controlRequest(const QCommandLineParser& parser, Id action)
{
    CommandLineRequest request = inMode(CommandLineRequest::Mode::Control);
    switch (action) {
    case Id::Stop:
        request.control.verb = ControlProtocol::Verb::Stop;
        return request;
    case Id::Show:
        request.control.verb = ControlProtocol::Verb::Show;
        return request;
    case Id::Quit:
        request.control.verb = ControlProtocol::Verb::Quit;
        return request;
    default:
        break;
    }
    QString text, error;
    if (!singleValue(parser, Id::Toggle, &text, &error))
        return badUsage(error);
    const std::optional<JobSpec> job = JobSpec::parse(text);
    if (!job)
        return badUsage(QStringLiteral("unknown job \"%1\": use clicker, keys, recorder, "
                                       "replay:NAME or flow:NAME")
                            .arg(text));
    request.control.verb = ControlProtocol::Verb::Toggle;
    request.control.job = *job;
    return request;
}

CommandLineRequest runRequest(const QCommandLineParser& parser)
{
    CommandLineRequest request = inMode(CommandLineRequest::Mode::Run);
    QString error;
    if (!singleValue(parser, Id::Run, &request.run.file, &error) ||
        !readRepeat(parser, &request.run.repeat, &error) ||
        !readSpeed(parser, &request.run.speed, &error))
        return badUsage(error);
    return request;
}

CommandLineRequest listRequest(const QCommandLineParser& parser)
{
    CommandLineRequest request = inMode(CommandLineRequest::Mode::List);
    QString error;
    if (!singleValue(parser, Id::List, &request.listWhat, &error))
        return badUsage(error);
    if (request.listWhat != QLatin1String(CommandOptions::ListFlows) &&
        request.listWhat != QLatin1String(CommandOptions::ListRecordings))
        return badUsage(
            QStringLiteral("--list takes flows or recordings, not \"%1\"").arg(request.listWhat));
    return request;
}

// --convert RECORDING FLOW.flw: the flow file is the one argument without an option.
CommandLineRequest convertRequest(const QCommandLineParser& parser)
{
    CommandLineRequest request = inMode(CommandLineRequest::Mode::Convert);
    QString error;
    if (!singleValue(parser, Id::Convert, &request.convert.recording, &error))
        return badUsage(error);
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return badUsage(QStringLiteral("--convert takes a recording and then one flow file"));
    request.convert.flow = files.constFirst();
    if (!request.convert.flow.endsWith(QLatin1String(".flw")))
        return badUsage(
            QStringLiteral("the flow file's name must end in .flw: \"%1\"").arg(request.convert.flow));
    request.convert.keepAllMoves = parser.isSet(longName(Id::AllMoves));
    return request;
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments))
        return badUsage(parser.errorText());
    if (!parser.positionalArguments().isEmpty() && !parser.isSet(longName(Id::Convert)))
        return badUsage(QStringLiteral("unexpected argument \"%1\"")
                            .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(longName(Id::Help)))
        return inMode(CommandLineRequest::Mode::Help);
    if (parser.isSet(longName(Id::Version)))
        return inMode(CommandLineRequest::Mode::Version);

    std::vector<Id> actions;
    for (const Id id : Actions) {
        if (parser.isSet(longName(id)))
            actions.push_back(id);
    }
    if (actions.size() > 1)
        return badUsage(QStringLiteral("%1 and %2 cannot be given together")
                            .arg(dashed(actions[0]), dashed(actions[1])));
    const bool runOptions = parser.isSet(longName(Id::Repeat)) || parser.isSet(longName(Id::Speed));
    if (runOptions && (actions.empty() || actions.front() != Id::Run))
        return badUsage(QStringLiteral("--repeat and --speed go with --run"));
    if (parser.isSet(longName(Id::AllMoves)) && (actions.empty() || actions.front() != Id::Convert))
        return badUsage(QStringLiteral("--all-moves goes with --convert"));
    if (actions.empty())
        return CommandLineRequest{};

    switch (actions.front()) {
    case Id::Run:
        return runRequest(parser);
    case Id::List:
        return listRequest(parser);
    case Id::Convert:
        return convertRequest(parser);
    default:
        return controlRequest(parser, actions.front());
    }
}

QString commandLineHelpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText();
}

QString commandLineVersionText()
{
    return QStringLiteral("Kliqora ") + programVersionText();
}
