#include "uilanguage.h"

#include "logcategory.h"
#include "qtcompat.h"

#include <QCoreApplication>
#include <QTranslator>

#include <algorithm>

// The resource is in a static library: nothing else refers to it, so it is pulled in here.
static void initTranslationResource()
{
    Q_INIT_RESOURCE(kliqora_translations);
}

namespace {

const QString ProgramTranslation = QStringLiteral(":/translations/kliqora_en.qm");

bool isChinese(const QString& language)
{
    return language.startsWith(QLatin1String("zh"), Qt::CaseInsensitive);
}

// Loads `file` and installs it; the translator lives as long as the application.
bool installFrom(QCoreApplication& app, const QString& file, const QString& folder = QString())
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(file, folder)) {
        delete translator;
        return false;
    }
    app.installTranslator(translator);
    return true;
}

// Qt's translation of its standard texts: beside the working directory first (how
// the programs are shipped on Windows), then Qt's own folder, where Linux
// distributions install them.
bool installQtTranslation(QCoreApplication& app, const QString& name)
{
    return installFrom(app, QStringLiteral("translations/") + name + QStringLiteral(".qm")) ||
           installFrom(app, name, QtCompat::qtTranslationsPath());
}

} // namespace

QString UiLanguage::resolve(const QString& setting, const QStringList& uiLanguages)
{
    if (setting == QLatin1String(Chinese))
        return QLatin1String(Chinese);
    if (setting == QLatin1String(English))
        return QLatin1String(English);
    const bool chinese = std::any_of(uiLanguages.cbegin(), uiLanguages.cend(), isChinese);
    return QLatin1String(chinese ? Chinese : English);
}

bool UiLanguage::install(QCoreApplication& app, const QString& language)
{
    if (language == QLatin1String(Chinese))
        return installQtTranslation(app, QStringLiteral("qt_zh_CN"));
    // Qt's own texts are English already: only the programs' texts need translating.
    initTranslationResource();
    if (!installFrom(app, ProgramTranslation))
        qCCritical(logCategory()) << "The English translation is missing from the resources";
    return true;
}
