#include "pointpickoverlay.h"

#include "qtcompat.h"
#include "swayplacement.h"

#include <QEnterEvent>
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
constexpr int TagMargin = 4;
constexpr int TagNoteMaxWidth = 220; // a longer note wraps

// The layer over one screen; it reports what it saw and leaves the decision to the
// overlay.
class PickLayer : public QWidget
{
public:
    PickLayer(QScreen* screen, bool physicalPixels, const QString& tagNote,
              std::function<void(const QPoint&)> onPick, std::function<void()> onCancel)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
          m_screenOrigin(screen->geometry().topLeft()),
          m_pixelRatio(physicalPixels ? screen->devicePixelRatio() : 1.0), m_tagNote(tagNote),
          m_onPick(std::move(onPick)), m_onCancel(std::move(onCancel))
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
    QPoint globalPoint(const QPoint& local) const
    {
        const QPoint logical = m_screenOrigin + local;
        return QPoint(qRound(logical.x() * m_pixelRatio), qRound(logical.y() * m_pixelRatio));
    }

protected:
    bool event(QEvent* event) override
    {
        // A layer that appears under a resting pointer learns where it is only from
        // the enter (Wayland sends no motion with it); the tag shows at once.
        if (event->type() == QEvent::Enter)
            trackPointer(QtCompat::enterPosition(static_cast<QEnterEvent*>(event)));
        return QWidget::event(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override { trackPointer(event->pos()); }

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
        QFont font = painter.font();
        font.setPointSize(TagFontPointSize);
        painter.setFont(font);
        const QPoint global = globalPoint(m_pointer);
        QString text = QStringLiteral("X:%1\nY:%2").arg(global.x()).arg(global.y());
        if (!m_tagNote.isEmpty())
            text += QLatin1Char('\n') + m_tagNote;
        const QRect textBounds = painter.fontMetrics().boundingRect(
            QRect(0, 0, TagNoteMaxWidth, height()), Qt::TextWordWrap, text);
        const QSize margins(2 * TagMargin, 2 * TagMargin);
        const QRect tag(m_pointer + QPoint(TagOffset, TagOffset),
                        (textBounds.size() + margins).expandedTo(QSize(TagWidth, TagHeight)));
        painter.fillRect(tag, QColor(0, 0, 0, TagAlpha));
        painter.setPen(Qt::white);
        painter.drawText(tag.adjusted(TagMargin, TagMargin, -TagMargin, -TagMargin),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
    }

private:
    void trackPointer(const QPoint& local)
    {
        m_pointer = local;
        m_pointerKnown = true;
        update();
    }

    QPoint m_screenOrigin;
    qreal m_pixelRatio;
    QString m_tagNote;
    QPoint m_pointer;
    bool m_pointerKnown = false;
    std::function<void(const QPoint&)> m_onPick;
    std::function<void()> m_onCancel;
};

} // namespace

PointPickOverlay::PointPickOverlay(QObject* parent) : QObject(parent) {}

void PointPickOverlay::show(QWidget* layer, const QRect& screenArea, int number)
{
    if (!SwayPlacement::available()) {
        layer->showFullScreen();
        layer->activateWindow();
        return;
    }
    // sway draws a fullscreen window over black: the layer floats over its output
    // instead. Its fixed size makes sway float it from the start (no tile first); its
    // title finds it in sway's tree.
    layer->setWindowTitle(QStringLiteral("kliqora-point-pick-%1").arg(number));
    layer->setFixedSize(screenArea.size());
    layer->show();
    SwayPlacement::floatWhenShown(layer, screenArea);
}

PointPickOverlay::~PointPickOverlay()
{
    stop();
}

void PointPickOverlay::start()
{
    stop();
    for (QScreen* screen : QGuiApplication::screens()) {
        auto* layer = new PickLayer(
            screen, m_physicalPixels, m_tagNote,
            [this](const QPoint& point) {
                stop(); // from the layer's own handler: closing defers its deletion
                emit picked(point);
            },
            [this] {
                stop();
                emit cancelled();
            });
        m_layers.append(layer);
        show(layer, screen->geometry(), m_layers.size());
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
