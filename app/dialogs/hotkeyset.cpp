#include "hotkeyset.h"

#include "appstyle.h"
#include "desktopshortcuthint.h"
#include "dialogstyle.h"
#include "hotkeymanage.h"
#include "hotkeyrules.h"
#include "hotkeysession.h"
#include "ui_hotkeyset.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QStringList>

namespace {

constexpr int dialogWidth = 380;
constexpr int dialogHeight = 160;
constexpr int desktopHintWidth = 600;

bool isModifierOnly(int key)
{
    return key >= Qt::Key_Shift && key <= Qt::Key_Alt; // Shift, Control, Meta, Alt
}

} // namespace

HotKeySet::HotKeySet(QWidget* parent) : QDialog(parent), ui(new Ui::HotKeySetClass)
{
    ui->setupUi(this);
    DialogStyle::removeContextHelpButton(this);
    setFixedSize(dialogWidth, dialogHeight);
    ui->edtHotKey->setStyleSheet(DialogStyle::lineEditStyleSheet());
    ui->btnClear->setStyleSheet(AppStyle::pushButtonStyleSheet());
    ui->btnOk->setStyleSheet(AppStyle::pushButtonStyleSheet());

    // Every key is the user's answer, even Escape, Return, Tab or a key that the
    // focused child would use itself: the children hand their keys to the dialog.
    for (QWidget* child : {static_cast<QWidget*>(ui->edtHotKey),
                           static_cast<QWidget*>(ui->btnClear), static_cast<QWidget*>(ui->btnOk)})
        child->installEventFilter(this);
    ui->edtHotKey->setFocus();

    connect(ui->btnClear, &QPushButton::clicked, this, &HotKeySet::onBtnClearClicked);
    connect(ui->btnOk, &QPushButton::clicked, this, &HotKeySet::onBtnOkClicked);
    if (hotkeysLeftToDesktop())
        showDesktopShortcutHint();
}

void HotKeySet::showDesktopShortcutHint()
{
    m_desktopHint = new DesktopShortcutHint(this);
    for (QWidget* capture :
         {static_cast<QWidget*>(ui->lblHotKeyTips), static_cast<QWidget*>(ui->edtHotKey),
          static_cast<QWidget*>(ui->btnClear)})
        capture->hide();
    ui->verticalLayout->insertWidget(0, m_desktopHint);
    // As tall as the hint needs at this width: its text wraps to more lines in English.
    setFixedSize(desktopHintWidth, layout()->totalHeightForWidth(desktopHintWidth));
}

HotKeySet::~HotKeySet()
{
    setHotkeysBlocked(false);
}

void HotKeySet::setHotkeyText(const QString& text)
{
    ui->edtHotKey->setText(text);
    m_presetText = text;
}

QString HotKeySet::hotkeyText() const
{
    return ui->edtHotKey->text();
}

void HotKeySet::setJob(const JobSpec& job)
{
    if (m_desktopHint)
        m_desktopHint->setJob(job);
}

QString HotKeySet::keyText(int key, Qt::KeyboardModifiers modifiers)
{
    if (isModifierOnly(key))
        return QString();
    const QString keyName = QKeySequence(key).toString(QKeySequence::PortableText);
    // Without a key the text would be a bare modifier, which no hotkey can be.
    if (key == 0 || key == Qt::Key_unknown || keyName.isEmpty())
        return QString();
    QStringList parts;
    if (modifiers.testFlag(Qt::ControlModifier))
        parts << QStringLiteral("Ctrl");
    if (modifiers.testFlag(Qt::ShiftModifier))
        parts << QStringLiteral("Shift");
    if (modifiers.testFlag(Qt::AltModifier))
        parts << QStringLiteral("Alt");
    parts << keyName;
    return parts.join(QLatin1Char('+'));
}

void HotKeySet::keyPressEvent(QKeyEvent* event)
{
    if (m_desktopHint) {
        QDialog::keyPressEvent(event); // no key to capture: Escape closes
        return;
    }
    const QString text = keyText(event->key(), event->modifiers());
    if (!text.isEmpty())
        ui->edtHotKey->setText(text);
    event->accept(); // never QDialog's handling: Escape must not close the dialog
}

bool HotKeySet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Keeps application shortcuts from taking the key before it is captured.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void HotKeySet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    setHotkeysBlocked(true);
}

void HotKeySet::hideEvent(QHideEvent* event)
{
    // accept() only hides the dialog: no close event comes on that path.
    setHotkeysBlocked(false);
    QDialog::hideEvent(event);
}

void HotKeySet::closeEvent(QCloseEvent* event)
{
    setHotkeysBlocked(false);
    QDialog::closeEvent(event);
}

void HotKeySet::setHotkeysBlocked(bool block)
{
    if (m_blocking == block)
        return;
    m_blocking = block;
    HotkeyManage::instance()->blockOthers(nullptr, block);
}

void HotKeySet::onBtnClearClicked()
{
    ui->edtHotKey->clear();
}

QString HotKeySet::refusal(const QString& text)
{
    const QKeySequence key(text);
    if (HotkeyRules::takesTypingKey(key))
        return tr("%1 是打字和编辑时要用的按键：设为全局快捷键后，所有程序都收不到它。"
                  "请加上 Ctrl、Alt 或 Shift，或者使用 F1 到 F12 等功能键。")
            .arg(text);
    const QString holder = HotkeyManage::instance()->jobHolding(key);
    if (!holder.isEmpty())
        return tr("快捷键 %1 已被“%2”使用，请换一个按键。").arg(text, holder);
    return QString();
}

void HotKeySet::onBtnOkClicked()
{
    if (m_desktopHint) {
        reject(); // no key was chosen
        return;
    }
    // The key the dialog opened with is the caller's own: it stays acceptable.
    const QString text = hotkeyText();
    const QString reason = text == m_presetText ? QString() : refusal(text);
    if (!reason.isEmpty()) {
        QMessageBox::warning(this, tr("快捷键不可用"), reason);
        return;
    }
    accept();
}
