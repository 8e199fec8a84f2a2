#include "waitcoloroperation.h"

#include "appconfig.h"
#include "logcategory.h"
#include "waitclock.h"

#include "platform/backend.h"

#include <QDataStream>

#include <cstdlib>

WaitColorOperation::WaitColorOperation(QObject* parent) : MouseOperation(parent) {}

QString WaitColorOperation::category() const
{
    return tr("流程控制");
}

QString WaitColorOperation::typeId() const
{
    return QStringLiteral("wait_color");
}

QString WaitColorOperation::displayName() const
{
    return tr("等待颜色");
}

QString WaitColorOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/wait-color.svg");
}

QString WaitColorOperation::colorText() const
{
    return QStringLiteral("#%1").arg(m_color, 6, 16, QLatin1Char('0')).toUpper();
}

void WaitColorOperation::setColorText(const QString& text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1Char('#')))
        digits.remove(0, 1);
    bool ok = false;
    const uint rgb = digits.toUInt(&ok, 16);
    if (ok && digits.size() == 6)
        m_color = rgb;
}

bool WaitColorOperation::matches(uint32_t rgb) const
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int seen = int((rgb >> shift) & 0xFF);
        const int wanted = int((m_color >> shift) & 0xFF);
        if (std::abs(seen - wanted) > m_tolerance)
            return false;
    }
    return true;
}

WaitColorOperation::Outcome WaitColorOperation::waitForColor() const
{
    using namespace std::chrono;
    WaitClock& clock = waitClock();
    const auto start = clock.now();
    for (;;) {
        if (!AppConfig::runFlag.load())
            return Outcome::Stopped;
        uint32_t rgb = 0;
        if (!platform::backend().pixelColor(position().x(), position().y(), rgb)) {
            qCWarning(logCategory()).noquote()
                << QStringLiteral("Wait for colour: the screen cannot be read at (%1, %2)")
                       .arg(position().x())
                       .arg(position().y());
            return Outcome::ScreenUnreadable;
        }
        if (matches(rgb))
            return Outcome::Seen;
        if (m_timeout > 0 && clock.now() - start >= milliseconds(m_timeout)) {
            qCWarning(logCategory()).noquote()
                << QStringLiteral("Wait for colour: %1 did not show at (%2, %3) within %4 ms; "
                                  "last seen %5")
                       .arg(colorText())
                       .arg(position().x())
                       .arg(position().y())
                       .arg(m_timeout)
                       .arg(QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper());
            return Outcome::TimedOut;
        }
        clock.sleepUntil(clock.now() + milliseconds(PollIntervalMs));
    }
}

void WaitColorOperation::execute()
{
    waitForColor();
}

bool WaitColorOperation::executeStep()
{
    switch (waitForColor()) {
    case Outcome::Seen:
        return true;
    case Outcome::TimedOut:
        if (m_onTimeout == GoOn)
            return true;
        qCWarning(logCategory()) << "Wait for colour timed out: the flow stops";
        return false;
    case Outcome::Stopped:
    case Outcome::ScreenUnreadable:
        break;
    }
    return false;
}

void WaitColorOperation::serialize(QDataStream& out) const
{
    serializeMouse(out);
    out << qint32(m_color) << qint32(m_tolerance) << qint32(m_timeout) << qint32(m_onTimeout);
}

void WaitColorOperation::deserialize(QDataStream& in)
{
    deserializeMouse(in);
    qint32 color = 0;
    qint32 tolerance = 0;
    qint32 timeout = 0;
    qint32 onTimeout = 0;
    in >> color >> tolerance >> timeout >> onTimeout;
    setColor(uint32_t(color));
    m_tolerance = tolerance;
    m_timeout = timeout;
    m_onTimeout = onTimeout;
}

QString WaitColorOperation::toString() const
{
    return QStringLiteral("%1: color=%2, tolerance=%3, timeout=%4, onTimeout=%5, x=%6, y=%7")
        .arg(displayName(), colorText(), QString::number(m_tolerance), QString::number(m_timeout),
             QString::number(m_onTimeout), QString::number(position().x()),
             QString::number(position().y()));
}

QString WaitColorOperation::description() const
{
    const QString where =
        tr("等待屏幕坐标(X=%1, Y=%2)处显示颜色 %3")
            .arg(QString::number(position().x()), QString::number(position().y()), colorText());
    if (m_timeout <= 0)
        return where;
    const QString then = m_onTimeout == GoOn ? tr("继续执行") : tr("停止流程");
    return tr("%1，最多 %2 毫秒，超时后%3").arg(where, QString::number(m_timeout), then);
}

Operation* WaitColorOperation::clone(QObject* parent) const
{
    auto* copy = new WaitColorOperation(parent);
    copyMouseFieldsTo(copy);
    copy->m_color = m_color;
    copy->m_tolerance = m_tolerance;
    copy->m_timeout = m_timeout;
    copy->m_onTimeout = m_onTimeout;
    return copy;
}
