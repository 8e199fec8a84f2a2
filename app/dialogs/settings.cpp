#include "settings.h"

#include "appconfig.h"
#include "dialogstyle.h"
#include "ui_settings.h"
#include "uilanguage.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

Settings::Settings(QWidget* parent) : QDialog(parent), ui(new Ui::SettingsClass)
{
    ui->setupUi(this);
    DialogStyle::removeContextHelpButton(this);
    ui->edtSavePath->setStyleSheet(DialogStyle::lineEditStyleSheet());

    const AppConfig* config = AppConfig::instance();
    QString path = config->saveFilePath;
    if (path.isEmpty()) {
        path = QDir::toNativeSeparators(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    }
    ui->edtSavePath->setText(path);
    if (config->btnCloseAction != 0)
        ui->rbtnCloseApp->setChecked(true);
    else
        ui->rbtnHideToTray->setChecked(true);
    fillLanguages(config->language);

    connect(ui->btnSelectPath, &QPushButton::clicked, this, &Settings::onBtnSelectPathClicked);
    connect(ui->btnCancel, &QPushButton::clicked, this, &Settings::reject);
    connect(ui->btnOk, &QPushButton::clicked, this, &Settings::accept);
}

Settings::~Settings() = default;

QString Settings::savePath() const
{
    return ui->edtSavePath->text();
}

int Settings::closeAction() const
{
    return ui->rbtnHideToTray->isChecked() ? 0 : 1;
}

QString Settings::language() const
{
    return ui->comboLanguage->currentData().toString();
}

void Settings::fillLanguages(const QString& current)
{
    // Each language by its own name, so a user who cannot read the current one finds theirs.
    ui->comboLanguage->addItem(tr("跟随系统"), QLatin1String(UiLanguage::System));
    ui->comboLanguage->addItem(QStringLiteral("简体中文"), QLatin1String(UiLanguage::Chinese));
    ui->comboLanguage->addItem(QStringLiteral("English"), QLatin1String(UiLanguage::English));
    // An unknown value is taken for System, as the programs take it.
    ui->comboLanguage->setCurrentIndex(qMax(0, ui->comboLanguage->findData(current)));
}

void Settings::onBtnSelectPathClicked()
{
    QString start = ui->edtSavePath->text();
    if (start.isEmpty())
        start = QDir::homePath();
    const QString folder = QFileDialog::getExistingDirectory(this, tr("选择保存目录"), start,
                                                             QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        ui->edtSavePath->setText(QDir::toNativeSeparators(folder));
}
