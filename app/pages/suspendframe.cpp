#include "suspendframe.h"
#include "ui_suspendframe.h"

#include "appstyle.h"
#include "logcategory.h"
#include "qtcompat.h"
#include "windowplacement.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {
const QString StopIcon = QStringLiteral(":/images/stop-rec.svg");
} // namespace

SuspendFrame::SuspendFrame(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      ui(std::make_unique<Ui::SuspendFrameClass>()), m_timer(new QTimer(this))
{
    AppStyle::initResources();
    ui->setupUi(this);
    // Without a compositor translucent pixels show black; the frame is then a plain
    // button-sized window, which looks the same.
    if (AppStyle::translucentWindowsSupported())
        setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(size());
    setWindowTitle(tr("停止录制"));
    ui->btnRecordStop->setText(tr("停止"));
    ui->btnRecordStop->setIcon(QIcon(StopIcon));
    ui->btnRecordStop->setStyleSheet(AppStyle::pushButtonStyleSheet());
    connect(m_timer, &QTimer::timeout, this, &SuspendFrame::onMove);
}

SuspendFrame::~SuspendFrame() = default;

QAbstractButton* SuspendFrame::stopButton() const
{
    return ui->btnRecordStop;
}

QRect SuspendFrame::desktop() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

int SuspendFrame::lastX() const
{
    return desktop().width() - EdgeMargin - width();
}

void SuspendFrame::slideIn()
{
    if (WindowPlacement::compositorPlacesWindows()) {
        // No slide to the corner: the compositor puts the frame where it likes (as
        // a small floating window) and the user drags it on through the compositor.
        qCDebug(logCategory()) << "The compositor places the stop button";
        return;
    }
    const QRect area = desktop();
    const QPoint source(area.width() / 2, area.height() / 2);
    const QPoint destination(lastX(), area.height() - EdgeMargin - height());
    move(source);
    // Each axis divided separately, truncated toward zero.
    m_step = QPoint((destination.x() - source.x()) / SlideSteps,
                    (destination.y() - source.y()) / SlideSteps);
    qCDebug(logCategory()).nospace()
        << "iSrcX=" << source.x() << ",iSrcY=" << source.y() << ",iDestX=" << destination.x()
        << ",iDestY=" << destination.y() << ",m_iStepX=" << m_step.x()
        << ",m_iStepY=" << m_step.y();
    m_timer->start(SlideTickMs);
}

bool SuspendFrame::isSliding() const
{
    return m_timer->isActive();
}

void SuspendFrame::onMove()
{
    const QPoint next = pos() + m_step;
    // A step of zero (a tiny desktop) would never arrive: stop there as well.
    if (next.x() <= lastX() && m_step.x() > 0)
        move(next);
    else
        m_timer->stop();
}

void SuspendFrame::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
}

void SuspendFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && WindowPlacement::startCompositorDrag(this))
        return;
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = QtCompat::globalPosition(event) - frameGeometry().topLeft();
        m_timer->stop(); // the user takes over from the slide
    }
    QWidget::mousePressEvent(event);
}

void SuspendFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(QtCompat::globalPosition(event) - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void SuspendFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
