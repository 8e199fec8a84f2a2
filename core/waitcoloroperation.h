#pragma once
// Waits until the screen pixel at `position` shows `color` (0xRRGGBB), each channel
// within `tolerance`. It looks about every 10 ms; after `timeout` ms (0: no limit)
// the flow ends or goes on, as `onTimeout` says. It sends no input.

#include "mouseoperation.h"

#include <cstdint>

class WaitColorOperation : public MouseOperation
{
    Q_OBJECT
    // Shown and edited as "#RRGGBB"; stored as the number.
    Q_PROPERTY(QString color READ colorText WRITE setColorText)
    Q_PROPERTY(int tolerance READ tolerance WRITE setTolerance)
    Q_PROPERTY(int timeout READ timeout WRITE setTimeout)
    Q_PROPERTY(int onTimeout READ onTimeout WRITE setOnTimeout)
    Q_CLASSINFO("prop_color", QT_TR_NOOP("颜色"))
    Q_CLASSINFO("prop_tolerance", QT_TR_NOOP("容差"))
    Q_CLASSINFO("editor_tolerance", "SPINBOX")
    Q_CLASSINFO("range_tolerance", "0-255")
    Q_CLASSINFO("prop_timeout", QT_TR_NOOP("超时（毫秒）"))
    Q_CLASSINFO("editor_timeout", "SPINBOX")
    Q_CLASSINFO("range_timeout", "0-2147483647")
    Q_CLASSINFO("prop_onTimeout", QT_TR_NOOP("超时后"))
    Q_CLASSINFO("editor_onTimeout", "COMBO")
    Q_CLASSINFO("choices_onTimeout", QT_TR_NOOP("停止流程|继续执行"))

public:
    enum TimeoutAction
    {
        StopFlow = 0,
        GoOn = 1
    };

    // How often the pixel is looked at.
    static constexpr int PollIntervalMs = 10;

    explicit WaitColorOperation(QObject* parent = nullptr);

    QString category() const override;
    QString typeId() const override;
    QString displayName() const override;
    QString iconPath() const override;
    // Waits as in a flow; the outcome is only logged.
    void execute() override;
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;
    QString description() const override;
    Operation* clone(QObject* parent = nullptr) const override;

    uint32_t color() const { return m_color; }
    void setColor(uint32_t rgb) { m_color = rgb & 0xFFFFFF; }
    QString colorText() const;
    // Takes "#RRGGBB" (the # may be left out); any other text changes nothing.
    void setColorText(const QString& text);
    int tolerance() const { return m_tolerance; }
    void setTolerance(int tolerance) { m_tolerance = tolerance; }
    int timeout() const { return m_timeout; }
    void setTimeout(int ms) { m_timeout = ms; }
    int onTimeout() const { return m_onTimeout; }
    void setOnTimeout(int action) { m_onTimeout = action; }

    // Whether `rgb` is within the tolerance of the awaited colour in every channel.
    bool matches(uint32_t rgb) const;

protected:
    bool executeStep() override;

private:
    enum class Outcome
    {
        Seen,
        TimedOut,
        Stopped,
        ScreenUnreadable
    };

    Outcome waitForColor() const;

    uint32_t m_color = 0;
    int m_tolerance = 0;
    int m_timeout = 10000;
    int m_onTimeout = StopFlow;
};
