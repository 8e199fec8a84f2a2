#include "pointselectwidget.h"

#include "globalmousewidget.h"
#include "logcategory.h"
#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "pointpickoverlay.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr int SelectButtonWidth = 30;

// Only one pick runs at a time in the process: a new one ends the previous.
QPointer<PointSelectWidget> s_activePicker;

} // namespace

PointSelectWidget::PointSelectWidget(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QPushButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_edit->setObjectName(QStringLiteral("edtPoint"));
    m_button->setObjectName(QStringLiteral("btnSelectPoint"));
    m_edit->setReadOnly(true);
    m_button->setText(QStringLiteral("..."));
    m_button->setFixedWidth(SelectButtonWidth);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &PointSelectWidget::onSelect);
    setPoint(m_point);
}

PointSelectWidget::~PointSelectWidget()
{
    // The browser may close this editor mid-pick (another row chosen, rows rebuilt):
    // stop listening and give the user the window back.
    if (isPicking()) {
        endPick();
        restoreMainWindow();
    }
}

void PointSelectWidget::setPoint(const QPoint& point)
{
    m_point = point;
    m_edit->setText(QStringLiteral("%1, %2").arg(point.x()).arg(point.y()));
}

bool PointSelectWidget::isPicking() const
{
    return (m_capture && m_capture->isActive()) || (m_overlay && m_overlay->isActive());
}

PointSelectWidget* PointSelectWidget::activePicker()
{
    return s_activePicker;
}

void PointSelectWidget::onSelect()
{
    if (s_activePicker && s_activePicker != this) {
        PointSelectWidget* other = s_activePicker;
        other->endPick();
        other->restoreMainWindow();
    }
    endPick(); // a pick of this widget still running gives way to the new one

    m_capture = platform::backend().createCapture();
    if (!m_capture) {
        startOverlayPick();
        return;
    }
    const bool started =
        m_capture->start([this](const platform::CapturedMouse& event) { onPickMouse(event); },
                         [this](const platform::CapturedKey& event) { onPickKey(event); });
    if (!started) {
        // Nothing could bring a hidden window back: the pick ends before it hides.
        endPick();
        warnCaptureFailed();
        return;
    }
    s_activePicker = this;
    m_tag = new GlobalMouseWidget();
    m_tag->setPhysicalPixels(true); // the same pixels as the captured press
    m_tag->setShowsColor(m_picksColor);
    m_tag->show();
    hideMainWindow();
}

// The session lets no program watch the global mouse (nor, there, read the screen):
// the press lands on our own layer, and a colour wait gets its position only.
void PointSelectWidget::startOverlayPick()
{
    if (!m_overlay) {
        m_overlay = new PointPickOverlay(this);
        m_overlay->setPhysicalPixels(true); // the same pixels as a captured press
        connect(m_overlay, &PointPickOverlay::picked, this, &PointSelectWidget::onOverlayPicked);
        connect(m_overlay, &PointPickOverlay::cancelled, this, [this] {
            endPick();
            restoreMainWindow();
        });
    }
    m_overlay->setTagNote(m_picksColor ? tr("此桌面不允许读取屏幕颜色，只选取位置") : QString());
    if (m_picksColor)
        qCInfo(logCategory()) << "Point pick: the screen cannot be read here, only the position "
                                 "is picked";
    s_activePicker = this;
    hideMainWindow();
    m_overlay->start();
}

void PointSelectWidget::onOverlayPicked(const QPoint& point)
{
    endPick();
    restoreMainWindow();
    setPoint(point);
    emit valueChanged(m_point);
}

void PointSelectWidget::onPickMouse(const platform::CapturedMouse& event)
{
    if (event.message != platform::Message::LButtonDown &&
        event.message != platform::Message::RButtonDown)
        return;
    // Read before the window comes back: it might cover the point.
    uint32_t rgb = 0;
    const bool colorRead = m_picksColor && platform::backend().pixelColor(event.x, event.y, rgb);
    // The press is not swallowed: it also reaches whatever lies under the pointer.
    endPick();
    restoreMainWindow();
    setPoint(QPoint(event.x, event.y));
    if (colorRead)
        emit colorPicked(rgb);
    emit valueChanged(m_point);
}

void PointSelectWidget::onPickKey(const platform::CapturedKey& event)
{
    if (event.vkCode != platform::Vk::Escape || !event.isPress())
        return;
    endPick();
    restoreMainWindow();
}

void PointSelectWidget::endPick()
{
    if (m_overlay)
        m_overlay->stop();
    if (m_capture) {
        m_capture->stop();
        // Kept until the next pick or the end of this widget: this may run inside the
        // capture's own handler. (A functor posted to destroy it later would be
        // destroyed under Qt's event-list lock if the queue is dropped at exit, and
        // the capture's destructor posts an event itself: a deadlock.)
        m_finishedCapture = std::move(m_capture);
    }
    delete m_tag;
    if (s_activePicker == this)
        s_activePicker = nullptr;
}

QMainWindow* PointSelectWidget::mainWindow() const
{
    // The window this editor lives in, else (a floating dock) the first main window.
    for (QWidget* widget = parentWidget(); widget; widget = widget->parentWidget()) {
        if (auto* window = qobject_cast<QMainWindow*>(widget))
            return window;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows) {
        if (auto* window = qobject_cast<QMainWindow*>(widget))
            return window;
    }
    return nullptr;
}

void PointSelectWidget::hideMainWindow()
{
    m_hiddenWindow = mainWindow();
    if (m_hiddenWindow)
        m_hiddenWindow->hide();
}

void PointSelectWidget::restoreMainWindow()
{
    QMainWindow* window = m_hiddenWindow;
    m_hiddenWindow = nullptr;
    if (!window)
        return;
    // Back from a minimised state too; a maximised window stays maximised.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void PointSelectWidget::warnCaptureFailed()
{
    qCWarning(logCategory()) << "Point pick: the global mouse capture could not be started";
    // Not modal: the editor may be closed while the message is up.
    auto* box = new QMessageBox(QMessageBox::Warning, tr("选择坐标失败"),
                                tr("无法捕获全局鼠标点击，请稍后重试。"), QMessageBox::Ok,
                                mainWindow() ? static_cast<QWidget*>(mainWindow()) : this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
