#include "convertrun.h"

#include "autorecordtask.h"
#include "console.h"
#include "exitstatus.h"
#include "flow.h"
#include "recordingconverter.h"
#include "runnablejob.h"

#include <QFileInfo>

namespace {

int refused(const ConvertOptions& options, const QString& problem)
{
    Console::printError(
        QStringLiteral("cannot convert %1 to %2: %3").arg(options.recording, options.flow, problem));
    return ExitStatus::BadUsage;
}

} // namespace

int convertWithoutWindow(const ConvertOptions& options)
{
    QString problem;
    const std::unique_ptr<AutoRecordTask> recording =
        loadRecordingFile(options.recording, &problem);
    if (!recording)
        return refused(options, problem);
    // A flow the user may have edited is not replaced by a conversion.
    if (QFileInfo::exists(options.flow))
        return refused(options, QStringLiteral("the flow file exists already"));

    Flow flow;
    flow.setName(QFileInfo(options.flow).completeBaseName());
    flow.setDescription(
        convertedFlowDescription(QFileInfo(options.recording).completeBaseName()));
    RecordingConversion conversion;
    conversion.keepAllMoves = options.keepAllMoves;
    convertRecording(*recording, flow, conversion);
    if (!flow.save(options.flow))
        return refused(options, QStringLiteral("the flow file cannot be written"));
    return ExitStatus::Done;
}
