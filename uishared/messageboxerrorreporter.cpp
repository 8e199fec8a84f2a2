#include "messageboxerrorreporter.h"

#include <QMessageBox>

void MessageBoxErrorReporter::showError(const QString& title, const QString& text)
{
    QMessageBox::warning(nullptr, title, text, QMessageBox::Ok);
}
