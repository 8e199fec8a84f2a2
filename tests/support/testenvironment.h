#pragma once
// Every test runs with HOME and the XDG folders pointed at a fresh temporary
// folder, so no test reads or writes the real user's settings, logs or files, and
// with the update check turned off, so no test (and no program a test starts) asks
// the network. A test of the update check sets its own server. The programs a test
// starts show their Chinese texts, whatever the machine's locale.

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

class TestHome
{
public:
    TestHome();
    ~TestHome() = default;
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

#define KLIQORA_TEST_MAIN_WITH(AppClass, TestObject)                                               \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestHome testHome;                                                                         \
        AppClass app(argc, argv);                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// Widgets.
#define KLIQORA_TEST_MAIN(TestObject) KLIQORA_TEST_MAIN_WITH(QApplication, TestObject)
// Event loop without widgets.
#define KLIQORA_TEST_GUILESS_MAIN(TestObject) KLIQORA_TEST_MAIN_WITH(QCoreApplication, TestObject)

// No application object at all.
#define KLIQORA_TEST_APPLESS_MAIN(TestObject)                                                      \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestHome testHome;                                                                         \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
