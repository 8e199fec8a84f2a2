// The designer's main window: its ribbon and docks, the modified state and saving,
// the close prompt, row copy and delete, the test run on its worker thread, the
// command line.

#include "appconfig.h"
#include "buttondelegate.h"
#include "commandline.h"
#include "flow.h"
#include "kliqoradesigner.h"
#include "mouseclickoperation.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "operationtableview.h"
#include "propertypanel/kliqorapropertybrowser.h"
#include "propertypanel/propertypanelwidget.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "uilanguage.h"
#include "uistartup.h"

#include <saribbonbar.h>
#include <saribboncategory.h>
#include <saribbonpannel.h>

#include <QAction>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {
constexpr int ClickX = 300;
constexpr int ClickY = 200;

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next modal message box that offers `button`; remembers its texts.
class BoxAnswer : public QObject
{
public:
    explicit BoxAnswer(QMessageBox::StandardButton button) : m_button(button)
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->button(m_button))
                return; // not the box this answer is meant for
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            hadDefault = box->defaultButton() != nullptr;
            m_timer.stop();
            box->button(m_button)->click();
        });
        m_timer.start();
    }
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    bool hadDefault = false;

private:
    QMessageBox::StandardButton m_button;
    QTimer m_timer;
};
// An operation that counts its live instances and its executions.
class CountingOperation : public Operation
{
public:
    CountingOperation() { ++alive; }
    ~CountingOperation() override { --alive; }

    static inline std::atomic<int> alive{0};
    static inline std::atomic<int> executions{0};

    QString category() const override { return QStringLiteral("test"); }
    QString typeId() const override { return QStringLiteral("counting"); }
    QString displayName() const override { return typeId(); }
    QString iconPath() const override { return QString(); }
    void execute() override { ++executions; }
    void serialize(QDataStream&) const override {}
    void deserialize(QDataStream&) override {}
    QString toString() const override { return typeId(); }
    QString description() const override { return typeId(); }
    Operation* clone(QObject* parent) const override
    {
        auto* copy = new CountingOperation;
        copy->setParent(parent);
        copyOperationFieldsTo(copy);
        return copy;
    }
};
} // namespace

class TestKliqoraDesigner : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

    // A flow file with a click at (ClickX, ClickY) and a text operation.
    void writeFlowFile()
    {
        Flow flow;
        flow.setName(QStringLiteral("demo"));
        auto* click = new MouseClickOperation;
        click->setInterval(0);
        click->setPosition(QPoint(ClickX, ClickY));
        flow.operations().append(click);
        auto* text = new TextInputOperation;
        text->setInterval(0);
        flow.operations().append(text);
        QVERIFY(flow.save(m_path));
    }

    // 100 pixels, or wider where an operation's name one loop level deep needs it.
    static void verifyTypeColumnFitsNames(const OperationTableView* table)
    {
        QVERIFY(table->columnWidth(0) >= 100);
        const QString indent(OperationModel::IndentPerLevel, QLatin1Char(' '));
        for (const Operation* op : OperationFactory::instance()->registeredPrototypes()) {
            const int needed = table->fontMetrics().horizontalAdvance(indent + op->displayName());
            QVERIFY2(needed < table->columnWidth(0), qPrintable(op->displayName()));
        }
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<ButtonDelegate::BtnType>();
        Operation::setDefaultInterval(50);
        OperationFactory::instance()->registerBuiltinOperations();
        UiStartup::installMessageBoxErrorReporter(); // as main() does
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("my flow 1.flw")); // a blank on purpose
    }

    void init() { writeFlowFile(); }

    void windowLayout()
    {
        KliqoraDesigner window(m_path);
        QCOMPARE(window.windowTitle(), QStringLiteral("KliqoraDesigner - ") + m_path);
        QCOMPARE(window.size(), QSize(1366, 768));
        QCOMPARE(window.model()->filePath(), m_path);
        QCOMPARE(window.model()->rowCount(), 2);

        SARibbonBar* bar = window.ribbonBar();
        QVERIFY(bar);
        QStringList layout;
        for (SARibbonCategory* category : bar->categoryPages()) {
            for (SARibbonPannel* pannel : category->pannelList()) {
                QStringList actions;
                for (QAction* action : pannel->actions())
                    actions << action->text();
                layout << category->categoryName() + QLatin1Char('/') + pannel->pannelName() +
                              QLatin1Char(':') + actions.join(QLatin1Char(','));
            }
        }
        QCOMPARE(layout, QStringList({QStringLiteral("开始/文件:保存,基本信息"),
                                      QStringLiteral("开始/调试:启/停[F8]"),
                                      QStringLiteral("视图/界面布局:默认布局,操作窗口,属性窗口")}));
        QVERIFY(!window.saveAction()->isEnabled());

        QCOMPARE(window.propertyDock()->windowTitle(), QStringLiteral("属性设置"));
        QCOMPARE(window.operationDock()->windowTitle(), QStringLiteral("操作选择"));
        QCOMPARE(window.dockWidgetArea(window.propertyDock()), Qt::RightDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(window.operationDock()), Qt::LeftDockWidgetArea);
        QCOMPARE(window.propertyDock()->minimumWidth(), 200);
        QCOMPARE(window.operationDock()->allowedAreas(),
                 Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

        OperationTableView* table = window.tableView();
        verifyTypeColumnFitsNames(table);
        QCOMPARE(table->columnWidth(2), 110);
        QCOMPARE(table->columnWidth(3), 100);
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(1), QHeaderView::Stretch);
        QCOMPARE(table->itemDelegateForColumn(3), window.buttonDelegate());
        QVERIFY(!table->itemDelegateForColumn(2));
    }

    // The English names are longer: the column grows to show them.
    void typeColumnFitsEnglishNames()
    {
        QVERIFY(UiLanguage::install(*QCoreApplication::instance(), UiLanguage::English));
        {
            KliqoraDesigner window(m_path);
            QCOMPARE(window.model()->data(window.model()->index(1, 1)).toString(),
                     QStringLiteral("Type text: "));
            verifyTypeColumnFitsNames(window.tableView());
        }
        for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    void docksFromTheRibbon()
    {
        KliqoraDesigner window(m_path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto trigger = [&window](const QString& text) {
            for (QAction* action : window.findChildren<QAction*>())
                if (action->text() == text)
                    action->trigger();
        };
        trigger(QStringLiteral("操作窗口"));
        QVERIFY(window.operationDock()->isHidden());
        trigger(QStringLiteral("操作窗口"));
        QVERIFY(window.operationDock()->isVisible());
        trigger(QStringLiteral("属性窗口"));
        QVERIFY(window.propertyDock()->isHidden());
        window.operationDock()->setFloating(true);
        trigger(QStringLiteral("默认布局"));
        QVERIFY(window.propertyDock()->isVisible());
        QVERIFY(!window.operationDock()->isFloating());
        QCOMPARE(window.dockWidgetArea(window.operationDock()), Qt::LeftDockWidgetArea);

        trigger(QStringLiteral("属性窗口"));
        trigger(QStringLiteral("基本信息"));
        QVERIFY(window.propertyDock()->isVisible());
        QCOMPARE(window.propertyPanel()->currentObject(), window.model()->flow());
    }

    void changesMarkModified_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* change : {"insert", "copy", "delete", "move", "property"})
            QTest::newRow(change) << QString::fromLatin1(change);
    }

    void changesMarkModified()
    {
        QFETCH(QString, change);
        KliqoraDesigner window(m_path);
        QVERIFY(!window.isModified());
        QVERIFY(!window.saveAction()->isEnabled());
        OperationModel* model = window.model();
        if (change == QLatin1String("insert")) {
            QMimeData data;
            data.setData(OperationModel::AddOperationMimeType,
                         OperationModel::addPayload(QStringLiteral("mouse_move"), {}));
            QVERIFY(model->dropMimeData(&data, Qt::CopyAction, 0, 0, QModelIndex()));
            QCOMPARE(model->operationAt(0)->interval(), 50);
        } else if (change == QLatin1String("copy")) {
            emit window.buttonDelegate()->iconClicked(0, ButtonDelegate::BtnCopy);
            QCOMPARE(model->rowCount(), 3);
            auto* original = static_cast<MouseClickOperation*>(model->operationAt(0));
            auto* copy = qobject_cast<MouseClickOperation*>(model->operationAt(1));
            QVERIFY(copy && copy != original);
            QCOMPARE(copy->position(), original->position());
        } else if (change == QLatin1String("delete")) {
            emit window.buttonDelegate()->iconClicked(0, ButtonDelegate::BtnDelete);
            QCOMPARE(model->rowCount(), 1);
            QVERIFY(qobject_cast<TextInputOperation*>(model->operationAt(0)));
        } else if (change == QLatin1String("move")) {
            std::unique_ptr<QMimeData> data(model->mimeData({model->index(0, 0)}));
            QVERIFY(model->dropMimeData(data.get(), Qt::MoveAction, 2, 0, QModelIndex()));
            QVERIFY(qobject_cast<TextInputOperation*>(model->operationAt(0)));
        } else {
            emit window.propertyPanel()->propertyBrowser()->sigValueChanged(QModelIndex(),
                                                                            QModelIndex(), {});
        }
        QVERIFY(window.isModified());
        QVERIFY(window.saveAction()->isEnabled());
    }

    void rowButtonsOutOfRangeChangeNothing()
    {
        KliqoraDesigner window(m_path);
        emit window.buttonDelegate()->iconClicked(2, ButtonDelegate::BtnCopy);
        emit window.buttonDelegate()->iconClicked(-1, ButtonDelegate::BtnDelete);
        QCOMPARE(window.model()->rowCount(), 2);
        QVERIFY(!window.isModified());
    }

    void saveWritesTheFlowUnchanged()
    {
        KliqoraDesigner window(m_path);
        const QString stamp = window.model()->flow()->lastModifiedTime();
        emit window.buttonDelegate()->iconClicked(1, ButtonDelegate::BtnDelete);
        window.saveAction()->trigger();
        QVERIFY(!window.isModified());
        QVERIFY(!window.saveAction()->isEnabled());
        Flow reloaded;
        QVERIFY(reloaded.load(m_path));
        QCOMPARE(reloaded.operations().size(), 1);
        QCOMPARE(reloaded.lastModifiedTime(), stamp);
        QCOMPARE(reloaded.name(), QStringLiteral("demo"));
    }

    void closeWithoutChangesAsksNothing()
    {
        KliqoraDesigner window(m_path);
        window.show();
        BoxAnswer answer(QMessageBox::Cancel);
        QVERIFY(window.close());
        QVERIFY(answer.title.isEmpty());
    }

    void closePrompt_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("fileChanged");
        QTest::newRow("save") << int(QMessageBox::Save) << true << true;
        QTest::newRow("discard") << int(QMessageBox::Discard) << true << false;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
    }

    void closePrompt()
    {
        QFETCH(int, button);
        QFETCH(bool, closed);
        QFETCH(bool, fileChanged);
        const QByteArray before = fileBytes(m_path);
        KliqoraDesigner window(m_path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        emit window.buttonDelegate()->iconClicked(0, ButtonDelegate::BtnDelete);

        BoxAnswer answer{QMessageBox::StandardButton(button)};
        QCOMPARE(window.close(), closed);
        QCOMPARE(answer.title, QStringLiteral("文件未保存"));
        QCOMPARE(answer.text, QStringLiteral("当前操作流已修改，是否保存更改？"));
        QCOMPARE(answer.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QVERIFY(!answer.hadDefault);
        QCOMPARE(window.isVisible(), !closed);
        QCOMPARE(window.isModified(), !fileChanged);
        QCOMPARE(fileBytes(m_path) != before, fileChanged);
    }

    // A save that fails keeps the window open and modified.
    void closeWithFailedSaveStaysOpen()
    {
        const QString badPath = m_dir.filePath(QStringLiteral("missing/dir/x.flw"));
        BoxAnswer loadError(QMessageBox::Ok); // the flow reports the unreadable file
        KliqoraDesigner window(badPath);
        QVERIFY(!loadError.title.isEmpty());
        window.show();
        emit window.propertyPanel()->propertyBrowser()->sigValueChanged(QModelIndex(),
                                                                        QModelIndex(), {});
        BoxAnswer prompt(QMessageBox::Save);
        BoxAnswer writeError(QMessageBox::Ok);
        QVERIFY(!window.close());
        QVERIFY(!writeError.title.isEmpty());
        QVERIFY(window.isModified());
        QVERIFY(window.saveAction()->isEnabled());
    }

    // The run: the window hides, the inputs go out on the worker thread, and the
    // window returns after the pause that follows the last row.
    void testRunToTheEnd()
    {
        ScopedRecordingBackend backend;
        KliqoraDesigner window(m_path);
        window.show();
        QElapsedTimer clock;
        clock.start();
        window.runAction()->trigger();
        QVERIFY(window.isRunning());
        QVERIFY(window.isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(!window.isRunning(), 5000);
        QVERIFY(clock.elapsed() >= 500);
        QVERIFY(window.isVisible());
        QVERIFY(!AppConfig::runFlag.load());
        QVERIFY(!backend->keepAwake());
        QVERIFY(backend->callCount() >= 1); // the click of the first row went out
        QVERIFY(!window.isModified());
    }

    void secondTriggerStopsTheRun()
    {
        ScopedRecordingBackend backend;
        KliqoraDesigner window(m_path);
        window.model()->operationAt(0)->setInterval(3000);
        window.show();
        window.runAction()->trigger();
        QVERIFY(window.isRunning());
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        window.runAction()->trigger(); // what F8 does
        QVERIFY(clock.elapsed() < 500);
        QVERIFY(!window.isRunning());
        QVERIFY(window.isVisible());
        QCOMPARE(backend->callCount(), 0);
        // The finished worker's queued end must not disturb a later run.
        QTest::qWait(100);
        QVERIFY(!window.isRunning());
    }

    // The worker runs a copy of the rows taken at the start: rows removed while it
    // runs still run (their copies), and the copy is gone once the run is over.
    void testRunWorksOnACopyFreedAfterTheRun()
    {
        ScopedRecordingBackend backend;
        KliqoraDesigner window(QString{});
        for (int row = 0; row < 2; ++row) {
            auto* op = new CountingOperation;
            op->setInterval(150);
            QVERIFY(window.model()->insertOperation(row, op));
        }
        CountingOperation::executions = 0;
        QCOMPARE(CountingOperation::alive.load(), 2);
        window.show();
        window.runAction()->trigger();
        QCOMPARE(CountingOperation::alive.load(), 4);
        QVERIFY(window.model()->removeOperation(0));  // cannot happen while the window is
        QVERIFY(window.model()->removeOperation(0));  // hidden; a model shared with the run
        QCOMPARE(CountingOperation::alive.load(), 2); // would now hold deleted rows
        QTRY_VERIFY_WITH_TIMEOUT(!window.isRunning(), 5000);
        QCOMPARE(CountingOperation::executions.load(), 2);
        QCOMPARE(CountingOperation::alive.load(), 0);
        QVERIFY(window.isVisible());
    }

    void unmatchedLoopIsRefusedWithAMessage()
    {
        ScopedRecordingBackend backend;
        KliqoraDesigner window(m_path);
        QVERIFY(window.model()->insertOperation(
            1, OperationFactory::instance()->create(QStringLiteral("loop_end"))));
        window.show();
        BoxAnswer answer(QMessageBox::Ok);
        window.runAction()->trigger();
        QTRY_COMPARE(answer.title, QStringLiteral("流程无法运行"));
        QCOMPARE(answer.text,
                 QStringLiteral("第 2 行的“重复结束”没有对应的“重复开始”，流程无法运行。"));
        QVERIFY(!window.isRunning());
        QVERIFY(window.isVisible());
        QVERIFY(!AppConfig::runFlag.load());
        QCOMPARE(backend->callCount(), 0);
    }

    void emptyRunEndsAtOnce()
    {
        ScopedRecordingBackend backend;
        KliqoraDesigner window(QString{});
        window.show();
        window.runAction()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 2000);
        QVERIFY(!window.isRunning());
        QCOMPARE(backend->callCount(), 0);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        const QString prog = QStringLiteral("KliqoraDesigner");
        QTest::newRow("path") << QStringList{prog, "-f", "/a/b.flw"} << "/a/b.flw";
        QTest::newRow("with blanks") << QStringList{prog, "-f", "/a b/c d.flw"} << "/a b/c d.flw";
        QTest::newRow("first -f wins") << QStringList{prog, "-f", "x", "-f", "y"} << "x";
        QTest::newRow("-f last") << QStringList{prog, "-f"} << "";
        QTest::newRow("none") << QStringList{prog} << "";
        QTest::newRow("upper case") << QStringList{prog, "-F", "x"} << "";
        QTest::newRow("-f as path") << QStringList{prog, "-f", "-f"} << "-f";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QCOMPARE(designerFilePathFromArguments(arguments), path);
    }
};

KLIQORA_TEST_MAIN(TestKliqoraDesigner)
#include "tst_kliqoradesigner.moc"
