#include "hotkeyset.h"

#include "appstyle.h"
#include "dialogstyle.h"
#include "hotkeymanage.h"
#include "ui_hotkeyset.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QStringList>

namespace {

constexpr int dialogWidth = 380;
constexpr int dialogHeight = 160;

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
}

HotKeySet::~HotKeySet()
{
    setHotkeysBlocked(false);
}

void HotKeySet::setHotkeyText(const QString& text)
{
    ui->edtHotKey->setText(text);
}

QString HotKeySet::hotkeyText() const
{
    return ui->edtHotKey->text();
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

void HotKeySet::onBtnOkClicked()
{
    accept();
}
