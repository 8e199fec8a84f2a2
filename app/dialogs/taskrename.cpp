#include "taskrename.h"

#include "appstyle.h"
#include "dialogstyle.h"
#include "ui_taskrename.h"

namespace {
constexpr int dialogWidth = 380;
constexpr int dialogHeight = 160;
} // namespace

TaskRename::TaskRename(QWidget* parent) : QDialog(parent), ui(new Ui::TaskRenameClass)
{
    ui->setupUi(this);
    DialogStyle::removeContextHelpButton(this);
    setFixedSize(dialogWidth, dialogHeight);
    ui->edtTaskName->setStyleSheet(DialogStyle::lineEditStyleSheet());
    ui->btnOk->setStyleSheet(AppStyle::pushButtonStyleSheet());
    connect(ui->btnOk, &QPushButton::clicked, this, &TaskRename::onBtnOkClicked);
}

TaskRename::~TaskRename() = default;

void TaskRename::setName(const QString& name)
{
    ui->edtTaskName->setText(name);
    ui->edtTaskName->selectAll();
}

QString TaskRename::name() const
{
    return ui->edtTaskName->text();
}

void TaskRename::onBtnOkClicked()
{
    accept();
}
