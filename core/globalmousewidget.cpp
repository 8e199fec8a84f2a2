#include "globalmousewidget.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

constexpr int TagWidth = 80;
constexpr int TagHeight = 50;
constexpr int FollowIntervalMs = 10;
constexpr int CursorOffset = 30;
constexpr int BackgroundAlpha = 160;
constexpr int FontPointSize = 10;

} // namespace

GlobalMouseWidget::GlobalMouseWidget(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          // Qt's attribute below only keeps events from Qt's own widgets;
                          // these make the window itself invisible to input and focus,
                          // so a click at the tag reaches the window underneath.
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
      m_timer(new QTimer(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(TagWidth, TagHeight);
    m_timer->setInterval(FollowIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &GlobalMouseWidget::updateGlobalMousePos);
    m_timer->start();
}

void GlobalMouseWidget::setPhysicalPixels(bool on)
{
    m_physicalPixels = on;
    updateGlobalMousePos();
}

void GlobalMouseWidget::updateGlobalMousePos()
{
    const QPoint cursor = QCursor::pos();
    qreal ratio = 1.0;
    if (m_physicalPixels) {
        if (const QScreen* screen = QGuiApplication::screenAt(cursor))
            ratio = screen->devicePixelRatio();
    }
    m_pos = QPoint(qRound(cursor.x() * ratio), qRound(cursor.y() * ratio));
    const int offset = qRound(CursorOffset / ratio);
    move(cursor + QPoint(offset, offset));
    update();
}

void GlobalMouseWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, BackgroundAlpha));
    QFont font = painter.font();
    font.setPointSize(FontPointSize);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("X:%1\nY:%2").arg(m_pos.x()).arg(m_pos.y()));
}
