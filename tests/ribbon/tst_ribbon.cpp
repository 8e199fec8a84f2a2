#include "saribbonbar.h"
#include "saribboncategory.h"
#include "saribbonmainwindow.h"
#include "saribbonpannel.h"
#include "testenvironment.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>

namespace {

QIcon solidIcon(const QColor& color)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Two categories, three panels, four actions, as a typical editor builds them.
struct Ribbon
{
    SARibbonMainWindow window{nullptr, SARibbonMainWindow::RibbonStyles(5)};
    QAction* save = new QAction(solidIcon(Qt::blue), QStringLiteral("保存"), &window);
    QAction* info = new QAction(solidIcon(Qt::darkGreen), QStringLiteral("基本信息"), &window);
    QAction* run = new QAction(solidIcon(Qt::red), QStringLiteral("启/停[F8]"), &window);
    QAction* layout = new QAction(solidIcon(Qt::magenta), QStringLiteral("默认布局"), &window);

    Ribbon()
    {
        SARibbonBar* bar = window.ribbonBar();
        SARibbonCategory* home = bar->addCategoryPage(QStringLiteral("开始"));
        SARibbonPannel* file = home->addPannel(QStringLiteral("文件"));
        file->addLargeAction(save);
        file->addLargeAction(info);
        home->addPannel(QStringLiteral("调试"))->addLargeAction(run);
        SARibbonCategory* view = bar->addCategoryPage(QStringLiteral("视图"));
        view->addPannel(QStringLiteral("界面布局"))->addLargeAction(layout);
        window.resize(800, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QToolButton* button(QAction* action) const
    {
        const auto pages = window.ribbonBar()->categoryPages();
        for (SARibbonCategory* page : pages) {
            for (SARibbonPannel* pannel : page->pannelList()) {
                if (QToolButton* b = pannel->buttonForAction(action))
                    return b;
            }
        }
        return nullptr;
    }
};

QStringList tabTexts(const SARibbonBar* bar)
{
    QStringList texts;
    for (int i = 0; i < bar->tabBar()->count(); ++i)
        texts << bar->tabBar()->tabText(i);
    return texts;
}

} // namespace

class TestRibbon : public QObject
{
    Q_OBJECT

private slots:
    void barTakesTheMenuAreaAndListsCategoriesPanelsAndActions()
    {
        Ribbon r;
        SARibbonBar* bar = r.window.ribbonBar();
        QVERIFY(bar);
        QCOMPARE(r.window.menuWidget(), bar);
        QCOMPARE(tabTexts(bar), (QStringList{QStringLiteral("开始"), QStringLiteral("视图")}));

        const auto pages = bar->categoryPages();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(bar->categoryByName(QStringLiteral("视图")), pages.at(1));
        QStringList homePanels;
        for (SARibbonPannel* pannel : pages.at(0)->pannelList())
            homePanels << pannel->pannelName();
        QCOMPARE(homePanels, (QStringList{QStringLiteral("文件"), QStringLiteral("调试")}));

        SARibbonPannel* file = pages.at(0)->pannelByName(QStringLiteral("文件"));
        QCOMPARE(file->actions(), (QList<QAction*>{r.save, r.info}));
        QVERIFY(file->isTitleVisible());
        QVERIFY(file->findChild<QLabel*>(QStringLiteral("pannelTitle"))->isVisible());

        QToolButton* save = r.button(r.save);
        QVERIFY(save);
        QCOMPARE(save->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(save->text(), QStringLiteral("保存"));
        QVERIFY(save->isVisible());
        // The title sits under the buttons of its panel.
        QLabel* title = file->findChild<QLabel*>(QStringLiteral("pannelTitle"));
        QVERIFY(title->geometry().top() >= save->geometry().bottom());
        // Adding the same action twice gives the one button again.
        QCOMPARE(file->addLargeAction(r.save), save);
        QCOMPARE(file->actions().size(), 2);
    }

    void stylesDecideBarAndTitles()
    {
        SARibbonMainWindow plain(nullptr, {});
        QVERIFY(!plain.ribbonBar());

        SARibbonMainWindow untitled(nullptr, SARibbonMainWindow::UseRibbonBar);
        SARibbonPannel* pannel = untitled.ribbonBar()
                                     ->addCategoryPage(QStringLiteral("A"))
                                     ->addPannel(QStringLiteral("P"));
        QVERIFY(!pannel->isTitleVisible());
        untitled.ribbonBar()->setPanelTitlesVisible(true);
        QVERIFY(pannel->isTitleVisible());
    }

    void tabsSwitchPagesAndButtonsTriggerActions()
    {
        Ribbon r;
        SARibbonBar* bar = r.window.ribbonBar();
        QCOMPARE(bar->currentIndex(), 0);
        QVERIFY(r.button(r.save)->isVisible());
        QVERIFY(!r.button(r.layout)->isVisible());

        QSignalSpy tabSpy(bar, &SARibbonBar::currentRibbonTabChanged);
        QTabBar* tabs = bar->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(tabSpy.count(), 1);
        QCOMPARE(bar->currentIndex(), 1);
        QVERIFY(r.button(r.layout)->isVisible());
        QVERIFY(!r.button(r.save)->isVisible());

        QSignalSpy layoutSpy(r.layout, &QAction::triggered);
        QTest::mouseClick(r.button(r.layout), Qt::LeftButton);
        QCOMPARE(layoutSpy.count(), 1);

        bar->setCurrentIndex(0);
        QSignalSpy runSpy(r.run, &QAction::triggered);
        QSignalSpy saveSpy(r.save, &QAction::triggered);
        QTest::mouseClick(r.button(r.run), Qt::LeftButton);
        QCOMPARE(runSpy.count(), 1);
        QCOMPARE(saveSpy.count(), 0);
    }

    void disabledActionGivesAGreyedButtonThatDoesNotTrigger()
    {
        Ribbon r;
        QToolButton* save = r.button(r.save);
        const QImage enabledLook = save->grab().toImage();

        r.save->setEnabled(false);
        QVERIFY(!save->isEnabled());
        QSignalSpy saveSpy(r.save, &QAction::triggered);
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(saveSpy.count(), 0);

        // The icon itself is drawn differently, not only the text.
        const QImage disabledLook = save->grab().toImage();
        const QPoint iconCentre(save->width() / 2, save->iconSize().height() / 2 + 4);
        QVERIFY2(enabledLook.pixelColor(iconCentre) != disabledLook.pixelColor(iconCentre),
                 "disabled icon looks like the enabled one");
        QCOMPARE(enabledLook.pixelColor(iconCentre), QColor(Qt::blue));

        r.save->setEnabled(true);
        QVERIFY(save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(saveSpy.count(), 1);
    }

    void doubleClickFoldsOnlyWhenMinimizable()
    {
        Ribbon r;
        SARibbonBar* bar = r.window.ribbonBar();
        QTabBar* tabs = bar->tabBar();
        QStackedWidget* stack = bar->findChild<QStackedWidget*>();
        QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QVERIFY(!bar->isMinimized());
        QVERIFY(stack->isVisible());

        bar->setMinimizable(true);
        QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QVERIFY(bar->isMinimized());
        QVERIFY(!stack->isVisible());
        // Picking another category unfolds the ribbon.
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QVERIFY(!bar->isMinimized());
        QVERIFY(stack->isVisible());
    }
};

KLIQORA_TEST_MAIN(TestRibbon)
#include "tst_ribbon.moc"
