#include "globalmousewidget.h"

#include "platform/backend.h"

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
// Room for the colour's line and its swatch under the coordinates.
constexpr int ColorTagWidth = 96;
constexpr int ColorTagHeight = 72;
constexpr int SwatchSize = 14;
constexpr int Margin = 4;

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

void GlobalMouseWidget::setShowsColor(bool on)
{
    m_showsColor = on;
    setFixedSize(on ? ColorTagWidth : TagWidth, on ? ColorTagHeight : TagHeight);
    updateGlobalMousePos();
}

bool GlobalMouseWidget::shownColor(uint32_t& rgb) const
{
    if (!m_showsColor || !m_colorKnown)
        return false;
    rgb = m_color;
    return true;
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
    if (m_showsColor)
        m_colorKnown = platform::backend().pixelColor(m_pos.x(), m_pos.y(), m_color);
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
    const QString coordinates = QStringLiteral("X:%1\nY:%2").arg(m_pos.x()).arg(m_pos.y());
    if (!m_showsColor) {
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, coordinates);
        return;
    }
    const QRect text = rect().adjusted(Margin, Margin, -Margin, -Margin);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, coordinates);
    const QRect swatch(text.left(), text.bottom() - SwatchSize, SwatchSize, SwatchSize);
    QString colorName = QStringLiteral("?");
    if (m_colorKnown) {
        painter.fillRect(swatch, QColor(QRgb(m_color)));
        colorName = QStringLiteral("#%1").arg(m_color, 6, 16, QLatin1Char('0')).toUpper();
    }
    painter.drawRect(swatch);
    painter.drawText(text.adjusted(SwatchSize + Margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignBottom,
                     colorName);
}
