#include "pointpickoverlay.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace {

constexpr int ShadeAlpha = 40; // a layer with nothing painted would let clicks through
constexpr int TagWidth = 80;
constexpr int TagHeight = 50;
constexpr int TagOffset = 30;
constexpr int TagAlpha = 160;
constexpr int TagFontPointSize = 10;

// The layer over one screen; it reports what it saw and leaves the decision to the
// overlay.
class PickLayer : public QWidget
{
public:
    PickLayer(QScreen* screen, std::function<void(const QPoint&)> onPick,
              std::function<void()> onCancel)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
          m_screenOrigin(screen->geometry().topLeft()), m_onPick(std::move(onPick)),
          m_onCancel(std::move(onCancel))
    {
        setObjectName(QStringLiteral("pointPickLayer"));
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_DeleteOnClose);
        setMouseTracking(true);
        setCursor(Qt::CrossCursor);
        setFocusPolicy(Qt::StrongFocus);
        setGeometry(screen->geometry());
        winId(); // the native window exists: it can be told its screen
        windowHandle()->setScreen(screen);
    }

    // The global point of a position on this layer: its screen's origin plus the
    // position, which holds even where the compositor tells no window its place.
    QPoint globalPoint(const QPoint& local) const { return m_screenOrigin + local; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        m_pointer = event->pos();
        m_pointerKnown = true;
        update();
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
            m_onPick(globalPoint(event->pos()));
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            m_onCancel();
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 0, ShadeAlpha));
        if (!m_pointerKnown)
            return;
        const QRect tag(m_pointer + QPoint(TagOffset, TagOffset), QSize(TagWidth, TagHeight));
        painter.fillRect(tag, QColor(0, 0, 0, TagAlpha));
        QFont font = painter.font();
        font.setPointSize(TagFontPointSize);
        painter.setFont(font);
        painter.setPen(Qt::white);
        const QPoint global = globalPoint(m_pointer);
        painter.drawText(tag, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("X:%1\nY:%2").arg(global.x()).arg(global.y()));
    }

private:
    QPoint m_screenOrigin;
    QPoint m_pointer;
    bool m_pointerKnown = false;
    std::function<void(const QPoint&)> m_onPick;
    std::function<void()> m_onCancel;
};

} // namespace

PointPickOverlay::PointPickOverlay(QObject* parent) : QObject(parent) {}

PointPickOverlay::~PointPickOverlay()
{
    stop();
}

void PointPickOverlay::start()
{
    stop();
    for (QScreen* screen : QGuiApplication::screens()) {
        auto* layer = new PickLayer(
            screen,
            [this](const QPoint& point) {
                stop(); // from the layer's own handler: closing defers its deletion
                emit picked(point);
            },
            [this] {
                stop();
                emit cancelled();
            });
        m_layers.append(layer);
        layer->showFullScreen();
        layer->activateWindow();
    }
}

void PointPickOverlay::stop()
{
    for (const QPointer<QWidget>& layer : qAsConst(m_layers)) {
        if (layer)
            layer->close();
    }
    m_layers.clear();
}

QVector<QWidget*> PointPickOverlay::layers() const
{
    QVector<QWidget*> alive;
    for (const QPointer<QWidget>& layer : m_layers) {
        if (layer)
            alive.append(layer);
    }
    return alive;
}
