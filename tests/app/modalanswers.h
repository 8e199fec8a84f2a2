#pragma once
// Answers the modal dialogs a page opens, from inside the event loop each dialog runs.

#include "dialogs/hotkeyset.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// Closes the next message box and keeps its title and text.
struct MessageBoxCloser
{
    QString title;
    QString text;
    void arm(QObject* context)
    {
        QTimer::singleShot(0, context, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
    }
};

// Types `text` into the hotkey dialog about to open and accepts it. `preset`
// receives the text the dialog opened with (empty when no dialog was found);
// `beforeAccept` runs just before the dialog closes.
inline void answerHotkeyDialog(QObject* context, const QString& text, QString* preset = nullptr,
                               const std::function<void()>& beforeAccept = {})
{
    QTimer::singleShot(0, context, [=] {
        auto* dialog = qobject_cast<HotKeySet*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (preset)
            *preset = dialog->hotkeyText();
        dialog->setHotkeyText(text);
        if (beforeAccept)
            beforeAccept();
        dialog->accept();
    });
}
