#pragma once
// The language both programs show: Chinese (the source texts) or English (the
// translation embedded in the programs). The "Language" setting chooses; "System"
// follows the user's locale as Qt reports it.

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace UiLanguage {

// Values of the "Language" setting.
constexpr char System[] = "System";
constexpr char Chinese[] = "zh_CN";
constexpr char English[] = "en";

// What `setting` means for a user whose preferred languages are `uiLanguages`
// (QLocale::uiLanguages()): Chinese or English, never System. System and any
// unknown value are Chinese when a preferred language is Chinese ("zh", "zh-CN",
// "zh_TW", ...), English otherwise.
QString resolve(const QString& setting, const QStringList& uiLanguages);

// Installs the translation of `language` (Chinese or English) into `app`: the
// programs' own texts and Qt's standard ones (dialog buttons, context menus), both
// for the rest of the process. Chinese needs no translation of the programs' texts,
// English none of Qt's. False when Qt's Chinese translation was not found (standard
// buttons then stay in English).
bool install(QCoreApplication& app, const QString& language);

} // namespace UiLanguage
