// Which language the "Language" setting and the locale choose, and what installing
// it does: English translates the programs' texts (class-information labels too)
// and leaves Qt's own English; Chinese keeps the source texts and translates Qt's
// standard buttons.

#include "testenvironment.h"
#include "uilanguage.h"

#include <QTranslator>
#include <QtTest>

namespace {

QString translated(const char* context, const char* source)
{
    return QCoreApplication::translate(context, source);
}

} // namespace

class TestUiLanguage : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("expected");

        const QStringList chinese{"zh-CN", "zh", "en-US"};
        const QStringList taiwan{"zh-TW"};
        const QStringList english{"en-US", "en"};
        const QStringList englishThenChinese{"de-DE", "en-GB", "zh-Hans-CN"};
        const QStringList none;
        QTest::newRow("system, Chinese") << "System" << chinese << "zh_CN";
        QTest::newRow("system, traditional Chinese") << "System" << taiwan << "zh_CN";
        QTest::newRow("system, Chinese further down") << "System" << englishThenChinese << "zh_CN";
        QTest::newRow("system, English") << "System" << english << "en";
        QTest::newRow("system, C locale") << "System" << QStringList{"C"} << "en";
        QTest::newRow("system, nothing known") << "System" << none << "en";
        QTest::newRow("Chinese chosen, English locale") << "zh_CN" << english << "zh_CN";
        QTest::newRow("English chosen, Chinese locale") << "en" << chinese << "en";
        QTest::newRow("unknown value follows the locale") << "fr" << chinese << "zh_CN";
        QTest::newRow("empty value follows the locale") << "" << english << "en";
    }

    void resolve()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, uiLanguages);
        QFETCH(QString, expected);
        QCOMPARE(UiLanguage::resolve(setting, uiLanguages), expected);
    }

    void englishTranslatesTheProgramsTexts()
    {
        QVERIFY(UiLanguage::install(*QCoreApplication::instance(), UiLanguage::English));
        QCOMPARE(translated("MainWidget", "键鼠录制"), QStringLiteral("Recorder"));
        // Labels declared as class information, in the declaring class's context.
        QCOMPARE(translated("KeyboardOperation", "按键"), QStringLiteral("Key"));
        QCOMPARE(translated("Operation", "执行间隔（毫秒）"), QStringLiteral("Interval (ms)"));
        // A text from a form.
        QCOMPARE(translated("SettingsClass", "界面语言："), QStringLiteral("Language:"));
        QCOMPARE(translated("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    void chineseKeepsTheSourceTextsAndTranslatesQt()
    {
        QVERIFY(UiLanguage::install(*QCoreApplication::instance(), UiLanguage::Chinese));
        QCOMPARE(translated("MainWidget", "键鼠录制"), QStringLiteral("键鼠录制"));
        QCOMPARE(translated("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }

    void cleanup()
    {
        // Each case starts untranslated.
        for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestUiLanguage)
#include "tst_uilanguage.moc"
