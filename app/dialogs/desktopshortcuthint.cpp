#include "desktopshortcuthint.h"

#include "appstyle.h"
#include "commandline/togglecommand.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DesktopShortcutHint::DesktopShortcutHint(QWidget* parent)
    : QWidget(parent), m_text(new QLabel(this)), m_command(new QLineEdit(this)),
      m_copy(new QPushButton(tr("复制"), this))
{
    m_text->setObjectName(QStringLiteral("lblDesktopShortcutHint"));
    m_text->setWordWrap(true);
    m_text->setText(tr("此桌面不允许程序使用全局快捷键。请在桌面的键盘设置中添加自定义快捷键，"
                       "让它运行下面的命令："));
    m_command->setObjectName(QStringLiteral("edtToggleCommand"));
    m_command->setReadOnly(true);
    m_command->setStyleSheet(AppStyle::lineEditStyleSheet());
    m_copy->setObjectName(QStringLiteral("btnCopyCommand"));
    m_copy->setStyleSheet(AppStyle::pushButtonStyleSheet());
    m_copy->setAutoDefault(false);

    auto* commandRow = new QHBoxLayout;
    commandRow->addWidget(m_command, 1);
    commandRow->addWidget(m_copy);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    layout->addLayout(commandRow);

    connect(m_copy, &QPushButton::clicked, this, &DesktopShortcutHint::copyCommand);
}

void DesktopShortcutHint::setJob(const JobSpec& job)
{
    m_command->setText(toggleCommandLine(job));
    m_command->setCursorPosition(0);
}

QString DesktopShortcutHint::command() const
{
    return m_command->text();
}

void DesktopShortcutHint::copyCommand()
{
    QGuiApplication::clipboard()->setText(m_command->text());
    m_copy->setText(tr("已复制"));
}
