// Both real programs in English and in Chinese, as the locale and the "Language"
// setting choose: a window title, a page label, a message box and the designer's
// palette and table description, and the Settings dialog switching the language
// for the next start.

#include "appconfig.h"
#include "e2eprogram.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int QuitTimeoutMs = 5000;
const QString LanguageKey = QStringLiteral("Language");

struct Texts
{
    QString title;
    QString mousePageTitle;
    QString keysNotSetMessage;
    QString keyInputName;
    QString keyTapDescription;
};

const Texts English{
    QStringLiteral("Kliqora - Keyboard and Mouse Automation"),
    QStringLiteral("Mouse Clicker"),
    QStringLiteral("Set the keys first, then start."),
    QStringLiteral("Press key"),
    QStringLiteral("Press key: tap Ctrl+A"),
};
const Texts Chinese{
    QStringLiteral("Kliqora妙指灵-键盘鼠标自动化输入工具"),
    QStringLiteral("鼠标连点"),
    QStringLiteral("请先完成按键设置,在启动连点。"),
    QStringLiteral("输入按键"),
    QStringLiteral("输入按键: 敲击 Ctrl+A"),
};

// `program` with the locale's language `locale` (as LANGUAGE names it).
void setLocale(E2eProgram& program, const QString& locale)
{
    QProcessEnvironment environment = program.processEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), locale);
    program.setProcessEnvironment(environment);
}

void storeLanguageSetting(const QString& setting)
{
    auto settings = AppConfig::openSettings();
    if (setting.isEmpty())
        settings->remove(LanguageKey);
    else
        settings->setValue(LanguageKey, setting);
}

bool writeFlowWithKeyTap(const QString& path)
{
    Flow flow;
    auto* key = new KeyboardOperation;
    key->setEventType(KeyboardOperation::Tap);
    key->setKey(QStringLiteral("A"));
    key->setModifiers(Qt::ControlModifier);
    flow.operations() << key;
    return flow.save(path);
}
} // namespace

class TestE2eLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    }

    void cleanup() { storeLanguageSetting(QString()); }

    void programsSpeakTheChosenLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("setting"); // empty: none stored, which means System
        QTest::addColumn<bool>("english");
        QTest::newRow("English locale") << "en_US"
                                        << "" << true;
        QTest::newRow("Chinese locale") << "zh_CN"
                                        << "" << false;
        QTest::newRow("system setting, English locale") << "en_GB"
                                                        << "System" << true;
        QTest::newRow("English chosen, Chinese locale") << "zh_CN"
                                                        << "en" << true;
        QTest::newRow("Chinese chosen, English locale") << "en_US"
                                                        << "zh_CN" << false;
    }

    void programsSpeakTheChosenLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, setting);
        QFETCH(bool, english);
        const Texts& expected = english ? English : Chinese;
        storeLanguageSetting(setting);

        E2eProgram kliqora(QStringLiteral(KLIQORA_PROGRAM));
        setLocale(kliqora, locale);
        QVERIFY(kliqora.startAndWaitForWindow());
        ProbeClient& main = kliqora.probe();
        QCOMPARE(main.query(QStringLiteral("MainWidgetClass")).text, expected.title);
        QCOMPARE(main.query(QStringLiteral("MouseWidgetClass/lblTitle")).text,
                 expected.mousePageTitle);
        // Starting the key presser without keys is refused in a message box.
        QVERIFY(main.click(QStringLiteral("btnKeyBoard")));
        QVERIFY(main.click(QStringLiteral("KeyBoardWidgetClass/btnPressKey")));
        QVERIFY(main.waitFor(QStringLiteral("qt_msgbox_label"), [&](const ProbedWidget& box) {
            return box.visible && box.text == expected.keysNotSetMessage;
        }));
        QVERIFY(kliqora.quit(QuitTimeoutMs));

        QTemporaryDir folder;
        const QString flowPath = folder.filePath(QStringLiteral("keys.flw"));
        QVERIFY(writeFlowWithKeyTap(flowPath));
        E2eProgram designer(QStringLiteral(KLIQORA_DESIGNER_PROGRAM),
                            {QStringLiteral("-f"), flowPath});
        setLocale(designer, locale);
        QVERIFY(designer.startAndWaitForWindow());
        QCOMPARE(designer.probe().query(QStringLiteral("opTree/key_input")).text,
                 expected.keyInputName);
        QCOMPARE(designer.probe().query(QStringLiteral("opTable/row0/col1")).text,
                 expected.keyTapDescription);
        QVERIFY(designer.quit(QuitTimeoutMs));
    }

    void settingsDialogSwitchesAtTheNextStart()
    {
        E2eProgram first(QStringLiteral(KLIQORA_PROGRAM));
        setLocale(first, QStringLiteral("zh_CN"));
        QVERIFY(first.startAndWaitForWindow());
        QVERIFY(first.probe().click(QStringLiteral("btnSettings")));
        // The last entry of the open list is English.
        QVERIFY(first.probe().click(QStringLiteral("comboLanguage")));
        QTest::qWait(300);
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("End"), QStringLiteral("Return")}));
        QVERIFY(first.probe().waitFor(QStringLiteral("comboLanguage"), [](const ProbedWidget& w) {
            return w.text == QLatin1String("English");
        }));
        QVERIFY(first.probe().click(QStringLiteral("btnOk")));
        QTRY_COMPARE(AppConfig::openSettings()->value(LanguageKey).toString(),
                     QStringLiteral("en"));
        // Until the next start the texts stay as they are.
        QCOMPARE(first.probe().query(QStringLiteral("MainWidgetClass")).text, Chinese.title);
        QVERIFY(first.quit(QuitTimeoutMs));

        E2eProgram next(QStringLiteral(KLIQORA_PROGRAM));
        setLocale(next, QStringLiteral("zh_CN"));
        QVERIFY(next.startAndWaitForWindow());
        QCOMPARE(next.probe().query(QStringLiteral("MainWidgetClass")).text, English.title);
        QVERIFY(next.quit(QuitTimeoutMs));
    }
};

KLIQORA_TEST_MAIN(TestE2eLanguage)
#include "tst_e2e_language.moc"
