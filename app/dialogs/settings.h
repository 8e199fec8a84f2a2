#pragma once
// Edits the save folder, what the main window's close button does and the language
// of the texts (which applies at the next start). The dialog only shows and returns
// the values; the caller stores them.

#include <QDialog>

#include <memory>

namespace Ui {
class SettingsClass;
}

class Settings : public QDialog
{
    Q_OBJECT

public:
    explicit Settings(QWidget* parent = nullptr);
    ~Settings() override;

    // The folder as shown (typed or chosen); not checked for existence.
    QString savePath() const;
    // 0 hide to the tray, 1 quit the program.
    int closeAction() const;
    // The "Language" setting chosen: "System", "zh_CN" or "en".
    QString language() const;

private slots:
    void onBtnSelectPathClicked();

private:
    void fillLanguages(const QString& current);

    std::unique_ptr<Ui::SettingsClass> ui;
};
