// The file behind a list row, as both list pages use it: which new names are
// refused and why, renaming, removing, and what the user is told (and the log
// says) when renaming, removing or copying fails.

#include "modalanswers.h"
#include "pages/filerowactions.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using NameCheck = FileRowActions::NameCheck;
Q_DECLARE_METATYPE(FileRowActions::NameCheck)
Q_DECLARE_METATYPE(FileRowActions::CopyFailure)

class TestFileRowActions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rename_data();
    void rename();
    void rename_failureIsShownAndLogged();
    void remove_data();
    void remove();
    void copyFailure_data();
    void copyFailure();

private:
    QString pathOf(const QString& fileName) const
    {
        return QDir::toNativeSeparators(QDir(m_dir->path()).filePath(fileName));
    }
    // "title|text" of the message box the call showed, or empty.
    template <class Call> QString boxShownBy(Call call)
    {
        MessageBoxCloser closer;
        closer.arm(this);
        call();
        return closer.title.isEmpty() ? QString() : closer.title + QLatin1Char('|') + closer.text;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QWidget m_page;
};

void TestFileRowActions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Two listed recordings and a file of the folder that is not listed.
    for (const char* name : {"a.kqt", "b.kqt", "stray.kqt"})
        QVERIFY(QFile(pathOf(QLatin1String(name))).open(QIODevice::WriteOnly));
}

void TestFileRowActions::rename_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<NameCheck>("check");
    QTest::addColumn<QString>("box");
    const QString invalid = QStringLiteral("重命名失败|任务名称 \"%1\" 无效。");
    const QString taken = QStringLiteral("重命名失败|任务名称 \"%1\" 已存在。");
    // The file name with ".kqt" may take 255 bytes; each of these characters takes three.
    const QString longest = QString(251, QLatin1Char('x'));
    const QString wide = QString(83, QChar(0x5F55)); // 249 + 4 bytes
    const QString tooWide = QString(84, QChar(0x5F55));
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");

    QTest::newRow("empty") << QString() << NameCheck::Unchanged << QString();
    QTest::newRow("unchanged") << "a" << NameCheck::Unchanged << QString();
    QTest::newRow("free") << "morning run" << NameCheck::Free << QString();
    QTest::newRow("with dots") << "v1.2" << NameCheck::Free << QString();
    QTest::newRow("255 bytes") << longest << NameCheck::Free << QString();
    QTest::newRow("wide characters within the limit") << wide << NameCheck::Free << QString();
    QTest::newRow("256 bytes") << longest + 'x' << NameCheck::Invalid << invalid.arg(longest + 'x');
    QTest::newRow("wide characters over the limit")
        << tooWide << NameCheck::Invalid << invalid.arg(tooWide);
    QTest::newRow("parent folder") << "../escape" << NameCheck::Invalid << invalid.arg("../escape");
    QTest::newRow("slash") << "sub/name" << NameCheck::Invalid << invalid.arg("sub/name");
    QTest::newRow("backslash") << "sub\\name" << NameCheck::Invalid << invalid.arg("sub\\name");
    QTest::newRow("dot") << "." << NameCheck::Invalid << invalid.arg(".");
    QTest::newRow("dot dot") << ".." << NameCheck::Invalid << invalid.arg("..");
    QTest::newRow("NUL") << nul << NameCheck::Invalid << invalid.arg(nul);
    QTest::newRow("listed") << "b" << NameCheck::Taken << taken.arg("b");
    QTest::newRow("file outside the list") << "stray" << NameCheck::Taken << taken.arg("stray");
}

void TestFileRowActions::rename()
{
    QFETCH(QString, newName);
    QFETCH(NameCheck, check);
    QFETCH(QString, box);
    const QString path = pathOf(QStringLiteral("a.kqt"));
    const QStringList listed = {path, pathOf(QStringLiteral("b.kqt"))};
    QCOMPARE(FileRowActions::checkNewName(path, newName, listed), check);

    const FileRowActions actions(&m_page);
    const QString expected = pathOf(newName + QStringLiteral(".kqt"));
    if (check == NameCheck::Invalid)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Refused file name: ")));
    QString renamed;
    QCOMPARE(boxShownBy([&] { renamed = actions.rename(path, newName, listed); }), box);
    if (check == NameCheck::Free) {
        QCOMPARE(renamed, expected);
        QVERIFY(!QFileInfo::exists(path) && QFileInfo::exists(expected));
    } else {
        QCOMPARE(renamed, QString());
        QVERIFY(QFileInfo::exists(path));
        const QStringList files = QDir(m_dir->path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files, (QStringList{"a.kqt", "b.kqt", "stray.kqt"}));
        QVERIFY(!QFileInfo::exists(QDir(m_dir->path()).filePath("../escape.kqt")));
    }
}

void TestFileRowActions::rename_failureIsShownAndLogged()
{
    // The file went away behind the list's back: the rename itself fails.
    const QString gone = pathOf(QStringLiteral("gone.kqt"));
    const FileRowActions actions(&m_page);
    QTest::ignoreMessage(QtWarningMsg, qPrintable("Failed to rename file: " + gone));
    QString renamed;
    QCOMPARE(boxShownBy([&] { renamed = actions.rename(gone, QStringLiteral("new"), {gone}); }),
             QStringLiteral("重命名失败|无法将 \"gone\" 重命名为 \"new\"。"));
    QCOMPARE(renamed, QString());
    QVERIFY(!QFileInfo::exists(pathOf(QStringLiteral("new.kqt"))));
}

void TestFileRowActions::remove_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("removed");
    QTest::newRow("a file") << "a.kqt" << true;
    QTest::newRow("already gone") << "gone.kqt" << true;
    QTest::newRow("a folder with content") << "folder.kqt" << false;
}

void TestFileRowActions::remove()
{
    QFETCH(QString, fileName);
    QFETCH(bool, removed);
    const QString path = pathOf(fileName);
    // A folder with content cannot be removed as a file.
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("folder.kqt/inside")));
    const FileRowActions actions(&m_page);
    bool result = false;
    const QString box = boxShownBy([&] { result = actions.remove(path); });
    QCOMPARE(result, removed);
    QCOMPARE(box, removed ? QString() : QStringLiteral("删除失败|无法删除文件 %1。").arg(path));
    QCOMPARE(QFileInfo::exists(path), !removed);
}

void TestFileRowActions::copyFailure_data()
{
    QTest::addColumn<FileRowActions::CopyFailure>("failure");
    QTest::addColumn<QString>("log");
    QTest::newRow("not written") << FileRowActions::CopyFailure::NotWritten
                                 << "Failed to copy file to: ";
    QTest::newRow("written but not loaded")
        << FileRowActions::CopyFailure::NotLoaded << "Failed to load copied task from file: ";
}

void TestFileRowActions::copyFailure()
{
    QFETCH(FileRowActions::CopyFailure, failure);
    QFETCH(QString, log);
    const QString target = pathOf(QStringLiteral("copy_a.kqt"));
    const FileRowActions actions(&m_page);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(log + target));
    QCOMPARE(boxShownBy([&] { actions.reportCopyFailure(failure, target); }),
             QStringLiteral("创建副本失败|无法创建副本 %1。").arg(target));
}

KLIQORA_TEST_MAIN(TestFileRowActions)
#include "tst_filerowactions.moc"
