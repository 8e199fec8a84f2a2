#include "recordingconverter.h"

#include "autorecordtask.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "keynames.h"
#include "logcategory.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "mousewheeloperation.h"
#include "textinputoperation.h"

#include "platform/virtualkeys.h"

#include <QCoreApplication>
#include <QPoint>

#include <cmath>
#include <vector>

namespace {

constexpr int64_t NsPerMs = 1000000;

// The key name of a virtual-key code: the shortest name the vocabulary has for it,
// the first in order among equals; empty when it has none.
QString keyName(int32_t vk)
{
    QString best;
    const QMap<QString, quint16>& table = keyNameTable();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it.value() == vk && (best.isEmpty() || it.key().size() < best.size()))
            best = it.key();
    }
    return best;
}

int buttonOf(int32_t type)
{
    switch (type) {
    case EventType::RightDown:
    case EventType::RightUp:
        return MouseClickOperation::RightButton;
    case EventType::MiddleDown:
    case EventType::MiddleUp:
        return MouseClickOperation::MiddleButton;
    default:
        return MouseClickOperation::LeftButton;
    }
}

bool isButtonDown(int32_t type)
{
    return type == EventType::LeftDown || type == EventType::RightDown ||
           type == EventType::MiddleDown;
}

double distanceToLine(QPoint p, QPoint a, QPoint b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs(dy * p.x() - dx * p.y() + double(b.x()) * a.y() - double(b.y()) * a.x()) /
           length;
}

// Marks the points of path[first..last] that keep the path within `tolerance`
// (Douglas-Peucker, with an explicit stack: recordings can be long).
void keepShape(const std::vector<QPoint>& path, double tolerance, std::vector<bool>& keep)
{
    std::vector<std::pair<size_t, size_t>> spans{{0, path.size() - 1}};
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        double farthest = -1;
        size_t at = first;
        for (size_t i = first + 1; i < last; ++i) {
            const double d = distanceToLine(path[i], path[first], path[last]);
            if (d > farthest) {
                farthest = d;
                at = i;
            }
        }
        if (farthest > tolerance) {
            keep[at] = true;
            spans.push_back({first, at});
            spans.push_back({at, last});
        }
    }
}

class Converter
{
public:
    Converter(Flow& flow, const RecordingConversion& options) : m_flow(flow), m_options(options) {}

    ConversionSummary run(const std::vector<std::unique_ptr<Event>>& events)
    {
        if (events.empty())
            return m_summary;
        m_firstNs = events.front()->time;
        m_lastMs = 0;
        for (size_t i = 0; i < events.size(); ++i) {
            const Event& event = *events[i];
            if (event.type == EventType::MouseMove) {
                m_moves.push_back(&static_cast<const MouseEvent&>(event));
                continue;
            }
            flushMoves();
            if (isButtonDown(event.type))
                addClick(events, i);
            else if (event.type == EventType::Wheel)
                addWheel(static_cast<const MouseEvent&>(event));
            else if (EventType::isKey(event.type))
                addKey(static_cast<const KeyboardEvent&>(event));
            // Button releases are part of their click; other kinds carry no input.
        }
        flushMoves();
        return m_summary;
    }

private:
    // The pause before an operation at `timeNs`: the time since the operation before
    // it, on the recording's own clock, so dropped events never shift later ones.
    int pauseBefore(int64_t timeNs)
    {
        const int64_t atMs = (timeNs - m_firstNs) / NsPerMs;
        const int64_t pause = std::max<int64_t>(atMs - m_lastMs, 0);
        m_lastMs = std::max(m_lastMs, atMs);
        return int(std::min<int64_t>(pause, std::numeric_limits<int>::max()));
    }

    void append(Operation* op, int64_t timeNs)
    {
        op->setInterval(pauseBefore(timeNs));
        op->setParent(&m_flow);
        m_flow.operations().append(op);
        ++m_summary.operations;
    }

    void flushMoves()
    {
        if (m_moves.empty())
            return;
        std::vector<bool> keep(m_moves.size(), m_options.keepAllMoves);
        keep.front() = true;
        keep.back() = true;
        if (!m_options.keepAllMoves && m_moves.size() > 2) {
            std::vector<QPoint> path;
            for (const MouseEvent* move : m_moves)
                path.emplace_back(move->x, move->y);
            keepShape(path, m_options.pathTolerancePx, keep);
        }
        for (size_t i = 0; i < m_moves.size(); ++i) {
            if (!keep[i]) {
                ++m_summary.droppedMoves;
                continue;
            }
            auto* move = new MouseMoveOperation;
            move->setPosition(QPoint(m_moves[i]->x, m_moves[i]->y));
            append(move, m_moves[i]->time);
        }
        m_moves.clear();
    }

    void addClick(const std::vector<std::unique_ptr<Event>>& events, size_t downAt)
    {
        const auto& down = static_cast<const MouseEvent&>(*events[downAt]);
        // A move before the release turns a drag into a click: flows have no drag.
        for (size_t i = downAt + 1; i < events.size(); ++i) {
            if (events[i]->type == EventType::MouseMove) {
                ++m_summary.dragsAsClicks;
                break;
            }
            if (events[i]->type == down.type + 1)
                break;
        }
        auto* click = new MouseClickOperation;
        click->setPosition(QPoint(down.x, down.y));
        click->setClickButton(buttonOf(down.type));
        click->setClickType(MouseClickOperation::SingleClick);
        append(click, down.time);
    }

    void addWheel(const MouseEvent& event)
    {
        auto* wheel = new MouseWheelOperation;
        wheel->setPosition(QPoint(event.x, event.y));
        wheel->setDelta(event.wheelDelta);
        wheel->setHorizontal(0);
        append(wheel, event.time);
    }

    void addKey(const KeyboardEvent& event)
    {
        const bool down = event.type == EventType::KeyDown;
        if (event.vkCode == platform::Vk::Packet) {
            // A character another program typed: its press types it, its release nothing.
            if (down) {
                auto* text = new TextInputOperation;
                text->setText(QString(QChar(ushort(event.scanCode))));
                append(text, event.time);
            }
            return;
        }
        const QString name = keyName(event.vkCode);
        if (name.isEmpty()) {
            ++m_summary.keysLeftOut;
            return;
        }
        auto* key = new KeyboardOperation;
        key->setEventType(down ? KeyboardOperation::Press : KeyboardOperation::Release);
        key->setKey(name);
        key->setModifiers(Qt::NoModifier);
        append(key, event.time);
    }

    Flow& m_flow;
    const RecordingConversion& m_options;
    ConversionSummary m_summary;
    std::vector<const MouseEvent*> m_moves; // the moves since the last other event
    int64_t m_firstNs = 0;
    int64_t m_lastMs = 0;
};

} // namespace

ConversionSummary convertRecording(const AutoRecordTask& recording, Flow& flow,
                                   const RecordingConversion& options)
{
    const ConversionSummary summary = Converter(flow, options).run(recording.events());
    qCInfo(logCategory()).noquote()
        << QStringLiteral("Recording converted: %1 operations, %2 moves thinned out, %3 drags "
                          "as clicks, %4 keys without a name left out")
               .arg(summary.operations)
               .arg(summary.droppedMoves)
               .arg(summary.dragsAsClicks)
               .arg(summary.keysLeftOut);
    return summary;
}

QString convertedFlowDescription(const QString& recordingName)
{
    return QCoreApplication::translate("RecordingConverter", "由录制“%1”转换而来").arg(recordingName);
}
