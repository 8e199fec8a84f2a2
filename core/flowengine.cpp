#include "flowengine.h"

#include "appconfig.h"
#include "logcategory.h"
#include "loopstartoperation.h"
#include "loopstructure.h"
#include "operation.h"

#include <vector>

namespace {

// A repeated part being run: where it starts and how many more rounds it has.
struct OpenLoop
{
    int startRow;
    bool endless;
    qint64 roundsLeft; // after the current one
};

} // namespace

FlowRunEnd runOperations(const QList<Operation*>& operations)
{
    const LoopStructure loops(operations);
    if (!loops.isSound()) {
        qCWarning(logCategory()).noquote() << "The flow does not run:" << loops.problemInEnglish();
        return FlowRunEnd::RefusedUnmatched;
    }

    std::vector<OpenLoop> open;
    // Each row is logged once: a loop that runs for hours must not fill the log.
    std::vector<bool> logged(size_t(operations.size()), false);
    int row = 0;
    while (row < operations.size()) {
        if (!AppConfig::runFlag.load())
            return FlowRunEnd::Stopped;
        Operation* op = operations.at(row);
        if (!op) {
            ++row;
            continue;
        }
        if (!logged[size_t(row)]) {
            logged[size_t(row)] = true;
            qCDebug(logCategory()).noquote() << op->description();
        }
        if (!op->runStep())
            return AppConfig::runFlag.load() ? FlowRunEnd::EndedByOperation : FlowRunEnd::Stopped;

        if (loops.isLoopStart(row)) {
            const int count = static_cast<const LoopStartOperation*>(op)->count();
            if (count < 0) {
                row = loops.partner(row) + 1; // no round at all
                continue;
            }
            open.push_back({row, count == LoopStartOperation::UntilStopped, qint64(count) - 1});
        } else if (loops.isLoopEnd(row)) {
            OpenLoop& loop = open.back();
            if (loop.endless || loop.roundsLeft > 0) {
                if (!loop.endless)
                    --loop.roundsLeft;
                row = loop.startRow + 1;
                continue;
            }
            open.pop_back();
        }
        ++row;
    }
    return FlowRunEnd::Finished;
}
