#include "commandlinemode.h"

#include "appconfig.h"
#include "applogger.h"
#include "commandlinerequest.h"
#include "console.h"
#include "controlclient.h"
#include "convertrun.h"
#include "exitstatus.h"
#include "headlessrun.h"
#include "namelisting.h"
#include "operationfactory.h"
#include "singleapplication.h"
#include "uistartup.h"

#include <QCoreApplication>
#include <QLoggingCategory>

namespace {

// Warnings and below stay out of a terminal's output: the command line prints its
// own one-line failures. QT_LOGGING_RULES still turns them on.
constexpr int QuietLogLevel = 2;

ControlClient::Result send(const ControlProtocol::Request& request, const QString& instanceKey)
{
    return ControlClient::send(ControlProtocol::serverName(), request, [&instanceKey] {
        return SingleApplication::isHeldElsewhere(instanceKey);
    });
}

int statusOf(const ControlClient::Result& result)
{
    switch (result.outcome) {
    case ControlClient::Outcome::Answered:
        reportStartupAnswer(result.answer);
        return result.answer.status;
    case ControlClient::Outcome::NoInstance:
        Console::printError(QStringLiteral("Kliqora does not run"));
        return ExitStatus::Refused;
    case ControlClient::Outcome::NoAnswer:
        break;
    }
    Console::printError(QStringLiteral("Kliqora runs but does not answer"));
    return ExitStatus::Refused;
}

CommandLineOutcome finished(int status)
{
    return CommandLineOutcome{false, std::nullopt, status};
}

CommandLineOutcome control(const ControlProtocol::Request& request, const QString& instanceKey)
{
    const ControlClient::Result result = send(request, instanceKey);
    if (result.outcome != ControlClient::Outcome::NoInstance)
        return finished(statusOf(result));
    switch (request.verb) {
    case ControlProtocol::Verb::Stop:
    case ControlProtocol::Verb::Quit:
        return finished(ExitStatus::Done); // nothing runs, nothing to quit
    case ControlProtocol::Verb::Toggle:
    case ControlProtocol::Verb::Show:
        break;
    }
    return CommandLineOutcome{true, request, ExitStatus::Done};
}

// What a run without a window prints and writes (errors, a converted flow's
// description) is in the language the programs show.
void useProgramLanguage(QCoreApplication& app)
{
    AppConfig::instance()->read();
    UiStartup::installTranslations(app);
}

int list(const QString& what)
{
    QLoggingCategory::setFilterRules(AppLogger::filterRules(QuietLogLevel));
    AppConfig::instance()->read();
    OperationFactory::instance()->registerBuiltinOperations();
    for (const QString& name : listedNames(what))
        Console::printLine(name);
    return ExitStatus::Done;
}

} // namespace

CommandLineOutcome handleCommandLine(int& argc, char** argv, const QString& instanceKey)
{
    QCoreApplication app(argc, argv);
    const CommandLineRequest request = parseCommandLine(app.arguments());
    switch (request.mode) {
    case CommandLineRequest::Mode::StartProgram:
        return CommandLineOutcome{true, std::nullopt, ExitStatus::Done};
    case CommandLineRequest::Mode::Help:
        Console::printLine(commandLineHelpText());
        return finished(ExitStatus::Done);
    case CommandLineRequest::Mode::Version:
        Console::printLine(commandLineVersionText());
        return finished(ExitStatus::Done);
    case CommandLineRequest::Mode::Control:
        return control(request.control, instanceKey);
    case CommandLineRequest::Mode::Run:
        QLoggingCategory::setFilterRules(AppLogger::filterRules(QuietLogLevel));
        useProgramLanguage(app);
        return finished(runWithoutWindow(request.run));
    case CommandLineRequest::Mode::List:
        return finished(list(request.listWhat));
    case CommandLineRequest::Mode::Convert:
        QLoggingCategory::setFilterRules(AppLogger::filterRules(QuietLogLevel));
        useProgramLanguage(app);
        return finished(convertWithoutWindow(request.convert));
    case CommandLineRequest::Mode::BadUsage:
        break;
    }
    Console::printError(request.error + QStringLiteral(" (see Kliqora --help)"));
    return finished(ExitStatus::BadUsage);
}

int deliverToRunningInstance(const ControlProtocol::Request& request, const QString& instanceKey)
{
    return statusOf(send(request, instanceKey));
}

void reportStartupAnswer(const ControlProtocol::Answer& answer)
{
    if (answer.status != ExitStatus::Done)
        Console::printError(answer.text);
}
