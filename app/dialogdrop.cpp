#include "dialogdrop.h"

#include "appstyle.h"
#include "qtcompat.h"
#include "windowplacement.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

namespace {
const QColor bodyColor(QStringLiteral("#f0f0f0"));
constexpr int shadowSteps = 10;
constexpr double shadowMaxAlpha = 150.0;
} // namespace

DialogDrop::DialogDrop(QWidget* parent) : QDialog(parent)
{
    AppStyle::initResources();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_shadowShown = AppStyle::translucentWindowsSupported();
}

DialogDrop::~DialogDrop() = default;

QRect DialogDrop::bodyRect() const
{
    return QRect(ShadowMargin, ShadowMargin, qMax(0, width() - 2 * ShadowMargin),
                 qMax(0, height() - 2 * ShadowMargin));
}

void DialogDrop::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && event->pos().y() >= 0 &&
        event->pos().y() <= DragBandHeight) {
        event->accept();
        if (WindowPlacement::startCompositorDrag(this))
            return;
        m_dragging = true;
        m_dragOffset = QtCompat::globalPosition(event) - pos();
        return;
    }
    QDialog::mousePressEvent(event);
}

void DialogDrop::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(QtCompat::globalPosition(event) - m_dragOffset);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void DialogDrop::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

void DialogDrop::keyPressEvent(QKeyEvent* event)
{
    // Escape would reject (close) the dialog; the main window must stay.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DialogDrop::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    buildShadowPixmap();
    updateClipping();
}

void DialogDrop::showEvent(QShowEvent* event)
{
    // The compositor may have started or stopped since construction.
    const bool shown = AppStyle::translucentWindowsSupported();
    if (shown != m_shadowShown) {
        m_shadowShown = shown;
        updateClipping();
    }
    QDialog::showEvent(event);
}

void DialogDrop::updateClipping()
{
    if (m_shadowShown) {
        clearMask();
        return;
    }
    QPainterPath body;
    body.addRoundedRect(bodyRect(), CornerRadius, CornerRadius);
    setMask(QRegion(body.toFillPolygon().toPolygon()));
}

void DialogDrop::buildShadowPixmap()
{
    m_shadowValid = false;
    if (size().isEmpty()) {
        m_shadowPixmap = QPixmap();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qMax(1, qRound(width() * ratio)), qMax(1, qRound(height() * ratio)));
    m_shadowPixmap = QPixmap(pixels);
    m_shadowPixmap.setDevicePixelRatio(ratio);
    m_shadowPixmap.fill(Qt::transparent);

    QPainter painter(&m_shadowPixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    // Outlines from the outer edge inwards, darker towards the body.
    for (int i = 0; i < shadowSteps; ++i) {
        const int inset = ShadowMargin - i * ShadowMargin / (shadowSteps - 1);
        const QRect outline(inset, inset, width() - 2 * inset, height() - 2 * inset);
        if (outline.width() <= 0 || outline.height() <= 0)
            continue;
        int alpha = qMin(int((1.0 - double(i) / (shadowSteps - 1)) * shadowMaxAlpha), 255);
        if (alpha < 1)
            alpha = 0;
        painter.setPen(QPen(QColor(0, 0, 0, alpha), 1));
        painter.drawRoundedRect(outline, CornerRadius, CornerRadius);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(bodyColor);
    painter.drawRoundedRect(bodyRect(), CornerRadius, CornerRadius);
    painter.end();
    m_shadowValid = true;
}

void DialogDrop::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_shadowShown) {
        // Opaque everywhere the mask lets through, so no edge pixel blends with black.
        painter.fillRect(rect(), bodyColor);
        return;
    }
    if (!m_shadowValid || m_shadowPixmap.isNull())
        buildShadowPixmap();
    if (m_shadowValid && !m_shadowPixmap.isNull()) {
        painter.drawPixmap(0, 0, m_shadowPixmap);
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(bodyColor);
    painter.drawRoundedRect(bodyRect(), CornerRadius, CornerRadius);
}
