#pragma once
// Asks for a new task name; the caller checks it (empty, unchanged, duplicate).

#include <QDialog>

#include <memory>

namespace Ui {
class TaskRenameClass;
}

class TaskRename : public QDialog
{
    Q_OBJECT

public:
    explicit TaskRename(QWidget* parent = nullptr);
    ~TaskRename() override;

    void setName(const QString& name);
    QString name() const;

private slots:
    void onBtnOkClicked();

private:
    std::unique_ptr<Ui::TaskRenameClass> ui;
};
