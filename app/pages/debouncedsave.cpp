#include "debouncedsave.h"

DebouncedSave::DebouncedSave(std::function<void()> save, QObject* parent)
    : QObject(parent), m_save(std::move(save))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_save(); });
}

void DebouncedSave::schedule()
{
    m_timer.start();
}
