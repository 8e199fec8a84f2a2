#include "shownhotkey.h"

#include "hotkeysession.h"

#include <QCoreApplication>

QString shownHotkey(const QString& key, const QString& none)
{
    if (hotkeysLeftToDesktop())
        return QCoreApplication::translate("ShownHotkey", "桌面快捷键");
    return key.isEmpty() ? none : key;
}

QString desktopShortcutToolTip()
{
    if (!hotkeysLeftToDesktop())
        return QString();
    return QCoreApplication::translate(
        "ShownHotkey", "此桌面不允许程序使用全局快捷键。点击“修改快捷键”可查看要在桌面的键盘设置中"
                       "绑定的命令。");
}
