// The main window, its menus, the menu panel and navigation, in real windows.
#include "app/fraMDI.h"
#include "app/frmMenu.h"
#include "app/frmSplash.h"
#include "data/Recordset.h"
#include "screens/database/frmAddEdit.h"
#include "support/DeskFile.h"
#include "support/FailureLog.h"
#include "ui/HandlerGuard.h"
#include "ui/ReportList.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"
#include "ui/modGeneral.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace convodesk;
using app::fraMDI;
using testing::DeskFile;

namespace {

const QString mainTitle = QStringLiteral("VELORAND Malaysia Convocation System (Kelmor Branch)");

int countScreens(const fraMDI& w, const QString& name) {
    int n = 0;
    for (QMdiSubWindow* sub : w.mdiArea()->subWindowList())
        if (sub->widget() && sub->widget()->objectName() == name)
            ++n;
    return n;
}

QAction* entry(const fraMDI& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

QMdiSubWindow* windowOf(const QWidget* screen) {
    return screen ? qobject_cast<QMdiSubWindow*>(screen->parentWidget()) : nullptr;
}

QString merged(const QString& screenTitle) {
    return mainTitle + QStringLiteral(" - [") + screenTitle + QLatin1Char(']');
}

void pressCtrlF4() {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, Qt::Key_F4, Qt::ControlModifier);
}

// How the three screens are opened and what they look like.
struct ScreenEntry {
    const char* menuEntry;
    const char* name;
    const char* title;
    QSize designTwips;
};
const ScreenEntry screenEntries[] = {
    {"mnuHome", "frmHome", "Home", {11880, 6735}},
    {"mnuSearch", "frmSearch", "Search", {13620, 8970}},
    {"mnuAccess", "frmDBase", "Database", {13590, 8970}},
};

// Closes the screens one by one, as the operator does with Ctrl+F4, until the panel is left.
void closeScreens(fraMDI& w) {
    for (int i = 0; i < 3 && w.mdiArea()->activeSubWindow() != w.menuPanel()->parentWidget(); ++i) {
        QTRY_VERIFY(QApplication::focusWidget());
        pressCtrlF4();
    }
    QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
}

int listCount(const QWidget* screen, const char* list) {
    auto* l = screen->findChild<ui::ReportList*>(QString::fromLatin1(list));
    return l ? l->itemCount() : -1;
}

} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuBarIsExactlyTheTable();
    void menusOpenWithTheirAccessKeys();
    void entriesWithoutActionDoNothing();
    void staysMaximised();
    void closingEndsTheProgram();
    void homeIsOneInstanceShownAndFocused();
    void panelIsCentredAndLaidOutAsDesigned();
    void panelTabOrder();
    void panelButtonsWithoutActionDoNothing();
    void dialogsGiveTheScreenBack();
    void screensAreTitledWindowsMergedWhileMaximised();
    void ctrlF4ClosesTheActiveScreenOnly();
    void closingUnloadsAndReopeningLoadsAfresh();
    void closingDuringTheScanWait();
    void failedLoadStillShowsTheScreen();
    void panelButtonsNamedAndPressedWithEnter();
    void minimisedScreenGivesTheKeyboardAway();
    void restoredScreenKeepsItsPanelCentred();
    void closingPrintsNothing();

private:
    std::unique_ptr<fraMDI> window_;
    testing::FailureLog failureLog_;
    QList<ui::Failure>& failures_ = failureLog_.failures();
};

void tst_mainwindow::initTestCase() {
    DeskFile::homeGraduates().writeBesideProgram();
}

void tst_mainwindow::init() {
    failures_.clear();
    window_ = std::make_unique<fraMDI>();
    window_->showAndLoad();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void tst_mainwindow::cleanup() {
    window_.reset();
    QCOMPARE(failures_.size(), 0);
}

void tst_mainwindow::menuBarIsExactlyTheTable() {
    const QStringList expected = {
        "mnuFile &File",
        "  mnuExit E&xit",
        "mnuHome Ho&me",
        "mnuDB &Database",
        "  mnuGMDB Connect to VELORAND Database",
        "  mnuAccess View Tassel Database: MS Access",
        "  mnuManageData Manage Data: Add/Edit/Delete",
        "mnuSearch &Search",
        "mnuCustomize &Customize",
        "mnuRecord &Recorder",
        "mnuPrint &Print",
        "  mnuBarcode Generate Barcode Ticket",
        "  mnuGradList Print Graduate List",
        "mnuHelp &Help",
        "  mnuTechSupport Technical Support",
        "  mnuAbout &About VELORAND Convocation System...",
    };
    QStringList seen;
    const auto describe = [&seen](QAction* a, const QString& indent) {
        seen << indent + a->objectName() + QLatin1Char(' ') + a->text();
        QVERIFY(a->isEnabled() && a->isVisible() && !a->isCheckable());
        QVERIFY(a->shortcut().isEmpty());
    };
    for (QAction* top : window_->menuBar()->actions()) {
        describe(top, QString());
        if (QMenu* menu = top->menu())
            for (QAction* a : menu->actions())
                describe(a, QStringLiteral("  "));
    }
    QCOMPARE(seen, expected);
    QCOMPARE(window_->windowTitle(), mainTitle);
    QVERIFY(!window_->windowIcon().isNull());
    QCOMPARE(window_->mdiArea()->background().color(), QColor(128, 128, 128));
}

void tst_mainwindow::menusOpenWithTheirAccessKeys() {
    QTest::keyClick(window_.get(), Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("mnuHelp"));
    QApplication::activePopupWidget()->close();
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // A bar entry without a submenu runs at once: Alt+M is Home.
    QTest::keyClick(window_.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(countScreens(*window_, QStringLiteral("frmHome")), 1);
}

void tst_mainwindow::entriesWithoutActionDoNothing() {
    const qsizetype children = window_->mdiArea()->subWindowList().size();
    const qsizetype windows = QApplication::topLevelWidgets().size();
    for (const char* name : {"mnuExit", "mnuGMDB", "mnuManageData", "mnuCustomize", "mnuRecord", "mnuBarcode",
                             "mnuGradList", "mnuTechSupport"}) {
        QAction* a = entry(*window_, name);
        QVERIFY2(a, name);
        a->trigger();
        QTest::qWait(10);
        QVERIFY2(window_->isVisible() && window_->isEnabled() && window_->isMaximized(), name);
        QCOMPARE(window_->mdiArea()->subWindowList().size(), children);
        QCOMPARE(QApplication::topLevelWidgets().size(), windows);
        QCOMPARE(window_->windowTitle(), mainTitle);
    }
}

void tst_mainwindow::staysMaximised() {
    QVERIFY(window_->isMaximized());
    window_->showMinimized();
    QTRY_VERIFY(window_->isMaximized() && !window_->isMinimized());
    window_->showNormal();
    QTRY_VERIFY(window_->isMaximized() && !window_->isMinimized());
    window_->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(window_->isMaximized());
    QTRY_COMPARE(window_->frameGeometry().size(), window_->screen()->availableGeometry().size());
}

void tst_mainwindow::closingEndsTheProgram() {
    QTimer::singleShot(0, window_.get(), [this] { window_->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(3000);
    QCOMPARE(QCoreApplication::exec(), 0);
}

void tst_mainwindow::homeIsOneInstanceShownAndFocused() {
    const int openBefore = data::Recordset::openCount();
    entry(*window_, "mnuHome")->trigger();
    QWidget* home = window_->openScreen(QStringLiteral("frmHome"));
    QVERIFY(home);
    QCOMPARE(data::Recordset::openCount(), openBefore + 1); // the screen's table, opened by its load
    auto* cmdHome = window_->menuPanel()->findChild<QPushButton*>(QStringLiteral("cmdHome"));
    QTest::mouseClick(cmdHome, Qt::LeftButton);
    QTRY_COMPARE(window_->mdiArea()->activeSubWindow()->widget(), home);
    entry(*window_, "mnuHome")->trigger();
    QCOMPARE(countScreens(*window_, QStringLiteral("frmHome")), 1);
    QCOMPARE(data::Recordset::openCount(), openBefore + 1); // not loaded again

    QMdiSubWindow* sub = window_->mdiArea()->activeSubWindow();
    QCOMPARE(sub->widget(), home);
    QCOMPARE(window_->mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), sub);
    QTRY_COMPARE(QApplication::focusWidget(), home->findChild<ui::TextBox*>(QStringLiteral("txtStudentID")));
    QVERIFY(sub->isMaximized());
    QCOMPARE(sub->geometry(), window_->clientArea()->rect());
    QCOMPARE(window_->windowTitle(), merged(QStringLiteral("Home")));

    // Centred in the main window's client area when it loaded.
    const QWidget* frame = home->findChild<QWidget*>(QStringLiteral("Frame2"));
    const ui::TwipsPosition at = ui::placedTwips(*frame);
    QCOMPARE(at.left, float(ui::pixelsToTwips(window_->clientArea()->width()) - 10935) / 2.0f);
    QCOMPARE(frame->pos(), QPoint(ui::twipsToPixels(at.left), ui::twipsToPixels(at.top)));

    // A scan works inside the main window.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ABC123456789"));
    QTRY_COMPARE(home->findChild<ui::TextBox*>(QStringLiteral("txtStudentID"))->text(),
                 QStringLiteral("ABC12345678"));
    QCOMPARE(home->findChild<QLabel*>(QStringLiteral("lblDesc1"))->text(),
             QStringLiteral("Ahmad Faris bin Ismail"));
}

void tst_mainwindow::panelIsCentredAndLaidOutAsDesigned() {
    app::frmMenu* panel = window_->menuPanel();
    QVERIFY(panel);
    QWidget* sub = panel->parentWidget();
    QCOMPARE(sub->size(), QSize(609, 390));
    QCOMPARE(panel->geometry(), QRect(0, 0, 609, 390)); // no frame, no title bar
    const QWidget* client = window_->clientArea();
    const ui::TwipsPosition at = ui::placedTwips(*sub);
    QCOMPARE(at.top, (float(ui::pixelsToTwips(client->height())) - 5850.f) / 2.0f);
    QCOMPARE(at.left, (float(ui::pixelsToTwips(client->width())) - 9135.f) / 2.0f);
    QCOMPARE(sub->pos(), QPoint(ui::twipsToPixels(at.left), ui::twipsToPixels(at.top)));

    struct Expected {
        const char* name;
        const char* container;
        QRect twips;
        const char* caption;
    };
    const Expected table[] = {
        {"Frame2", "frmMenu", {0, 0, 9135, 5850}, nullptr},
        {"Frame1", "frmMenu", {0, 98, 9135, 5655}, nullptr},
        {"cmdHome", "Frame1", {240, 240, 2175, 2175}, nullptr},
        {"Command2", "Frame1", {2400, 240, 2175, 2175}, nullptr},
        {"cmdDelivery", "Frame1", {4560, 240, 2175, 2175}, nullptr},
        {"cmdSearch", "Frame1", {6720, 240, 2175, 2175}, nullptr},
        {"cmdStaffReg", "Frame1", {240, 3000, 2175, 2175}, nullptr},
        {"cmdRecord", "Frame1", {2400, 3000, 2175, 2175}, nullptr},
        {"cmdShortname", "Frame1", {4560, 3000, 2175, 2175}, nullptr},
        {"Command1", "Frame1", {6720, 3000, 2175, 2175}, nullptr},
        {"Label1", "Frame1", {240, 2520, 2175, 375}, "Home System"},
        {"Label2", "Frame1", {2400, 2520, 2175, 375}, "Data Manager"},
        {"Label3", "Frame1", {4560, 2520, 2175, 375}, "View Graduate List"},
        {"Label4", "Frame1", {6720, 2520, 2175, 375}, "Search Graduate"},
        {"Label5", "Frame1", {240, 5280, 2175, 375}, "Customize Data"},
        {"Label7", "Frame1", {2400, 5280, 2175, 375}, "Audio Recorder"},
        {"Label6", "Frame1", {4560, 5280, 2175, 375}, "Print Barcode"},
        {"Label9", "Frame1", {6720, 5280, 2175, 375}, "Technical Support"},
        {"Command3", "frmMenu", {3480, 6720, 2175, 2175}, nullptr},
        {"cmdStaffAttend", "frmMenu", {1320, 6720, 2175, 2175}, nullptr},
        {"txtSetFocus", "frmMenu", {240, 6720, 735, 285}, nullptr},
    };
    for (const Expected& e : table) {
        auto* w = panel->findChild<QWidget*>(QString::fromLatin1(e.name));
        QVERIFY2(w, e.name);
        QCOMPARE(w->parentWidget()->objectName(), QString::fromLatin1(e.container));
        const QRect& t = e.twips;
        QCOMPARE(w->geometry(), ui::twipsRect(t.x(), t.y(), t.width(), t.height()));
        if (e.caption)
            QCOMPARE(static_cast<QLabel*>(w)->text(), QString::fromLatin1(e.caption));
        if (auto* button = qobject_cast<QPushButton*>(w);
            button && w->parentWidget()->objectName() == "Frame1") {
            QVERIFY(!button->icon().isNull());
            QVERIFY(button->text().isEmpty());
        }
    }
    QCOMPARE(panel->findChild<QPushButton*>("cmdHome")->iconSize(), QSize(126, 119));
    QCOMPARE(panel->findChild<QPushButton*>("Command1")->iconSize(), QSize(126, 119));
    QCOMPARE(panel->findChild<QPushButton*>("cmdSearch")->iconSize(), QSize(128, 128));
    QCOMPARE(panel->findChild<QWidget*>("Frame2")->palette().color(QPalette::Window), QColor(0, 0, 128));
    QCOMPARE(panel->findChild<QWidget*>("Frame1")->palette().color(QPalette::Window), QColor(192, 192, 192));
    // The unseen controls lie outside the panel's visible area.
    QVERIFY(!panel->rect().intersects(panel->findChild<QWidget*>("txtSetFocus")->geometry()));
}

void tst_mainwindow::panelTabOrder() {
    app::frmMenu* panel = window_->menuPanel();
    panel->setFocus();
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtSetFocus"));
    QStringList visited;
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited,
             (QStringList{"cmdSearch", "cmdRecord", "cmdHome", "cmdShortname", "cmdDelivery", "cmdStaffReg",
                          "Command1", "Command2", "cmdStaffAttend", "Command3", "txtSetFocus"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command3"));
}

void tst_mainwindow::panelButtonsWithoutActionDoNothing() {
    app::frmMenu* panel = window_->menuPanel();
    const qsizetype children = window_->mdiArea()->subWindowList().size();
    for (const char* name : {"cmdDelivery", "cmdStaffReg", "cmdRecord", "cmdShortname", "Command1"}) {
        QTest::mouseClick(panel->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
        QTest::qWait(10);
        QCOMPARE(window_->mdiArea()->subWindowList().size(), children);
    }
    QCOMPARE(window_->mdiArea()->activeSubWindow(), panel->parentWidget());
}

// After the Add/Edit dialog or the About box, the screen the user was on is in front again
// with the keyboard where it was (disabling the main window must not move it to the panel).
void tst_mainwindow::dialogsGiveTheScreenBack() {
    // A file with the tables the Database screen lists.
    DeskFile::made(30).writeBesideProgram();
    const auto restore = qScopeGuard([] { DeskFile::homeGraduates().writeBesideProgram(); });
    QTest::mouseClick(window_->menuPanel()->findChild<QPushButton*>(QStringLiteral("Command2")),
                      Qt::LeftButton);
    QWidget* screen = window_->openScreen(QStringLiteral("frmDBase"));
    QVERIFY(screen);
    QMdiArea* area = window_->mdiArea();
    QMdiSubWindow* sub = nullptr;
    for (QMdiSubWindow* s : area->subWindowList())
        if (s->widget() == screen)
            sub = s;
    QTRY_COMPARE(area->activeSubWindow(), sub);
    auto* edit = screen->findChild<QPushButton*>(QStringLiteral("cmdEdit"));
    QTest::mouseClick(edit, Qt::LeftButton);
    QTRY_VERIFY(screens::frmAddEdit::instance() && screens::frmAddEdit::instance()->isVisible());
    QVERIFY(!window_->isEnabled());
    QTest::mouseClick(screens::frmAddEdit::instance()->findChild<QPushButton*>(QStringLiteral("cmdUpdate")),
                      Qt::LeftButton);
    QVERIFY(window_->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(area->activeSubWindow(), sub);
    QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).last(), sub);

    app::frmSplash::setMainWindowLoader([this] { return static_cast<QWidget*>(window_.get()); });
    const auto noLoader = qScopeGuard([] { app::frmSplash::setMainWindowLoader(nullptr); });
    entry(*window_, "mnuAbout")->trigger();
    QTRY_VERIFY(app::frmSplash::instance() && app::frmSplash::instance()->isVisible());
    QVERIFY(!window_->isEnabled());
    app::frmSplash::instance()->close();
    QVERIFY(window_->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(area->activeSubWindow(), sub);
    QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).last(), sub);
    screens::frmAddEdit::instance()->close();
}

// While a screen is maximised its title joins the main window's and its window controls sit in
// the menu bar; restored, it shows in its own frame at its design size. The menu panel stays
// a borderless child that nothing maximises.
void tst_mainwindow::screensAreTitledWindowsMergedWhileMaximised() {
    DeskFile::made(30).writeBesideProgram();
    const auto restore = qScopeGuard([] { DeskFile::homeGraduates().writeBesideProgram(); });
    QMdiSubWindow* panel = window_->menuPanel() ? windowOf(window_->menuPanel()) : nullptr;
    QVERIFY(panel);
    for (const ScreenEntry& e : screenEntries) {
        entry(*window_, e.menuEntry)->trigger();
        QWidget* screen = window_->openScreen(QString::fromLatin1(e.name));
        QMdiSubWindow* sub = windowOf(screen);
        QVERIFY2(sub, e.name);
        QVERIFY(!(sub->windowFlags() & Qt::FramelessWindowHint));
        QCOMPARE(sub->windowTitle(), QString::fromLatin1(e.title));
        QVERIFY(sub->isMaximized());
        QCOMPARE(window_->mdiArea()->activeSubWindow(), sub);
        QCOMPARE(window_->windowTitle(), merged(QString::fromLatin1(e.title)));
        QWidget* controls = window_->menuBar()->cornerWidget(Qt::TopRightCorner);
        QVERIFY(controls && controls->isVisible());
        QCOMPARE(sub->geometry(), window_->clientArea()->rect());

        sub->showNormal();
        QTRY_COMPARE(screen->size(),
                     ui::twipsRect(0, 0, e.designTwips.width(), e.designTwips.height()).size());
        QVERIFY(sub->size().width() > screen->width() && sub->size().height() > screen->height()); // framed
        QCOMPARE(window_->windowTitle(), mainTitle);
        // Showing an open screen again brings it to the front as it is.
        entry(*window_, e.menuEntry)->trigger();
        QVERIFY(!sub->isMaximized());
        QCOMPARE(window_->mdiArea()->activeSubWindow(), sub);
        sub->showMaximized();
        QCOMPARE(window_->windowTitle(), merged(QString::fromLatin1(e.title)));
        QVERIFY(!panel->isMaximized());
        QVERIFY(panel->windowFlags() & Qt::FramelessWindowHint);
    }
    // Activating the panel does not maximise it.
    window_->mdiArea()->setActiveSubWindow(panel);
    QVERIFY(!panel->isMaximized());
    QCOMPARE(panel->size(), QSize(609, 390));
}

void tst_mainwindow::ctrlF4ClosesTheActiveScreenOnly() {
    entry(*window_, "mnuHome")->trigger();
    QPointer<QWidget> home = window_->openScreen(QStringLiteral("frmHome"));
    entry(*window_, "mnuSearch")->trigger();
    QPointer<QWidget> search = window_->openScreen(QStringLiteral("frmSearch"));
    QTRY_VERIFY(search->isAncestorOf(QApplication::focusWidget()));
    // The key works wherever the keyboard is in the main window, here the menu bar.
    QTest::keyClick(window_->menuBar(), Qt::Key_F4, Qt::ControlModifier);
    QVERIFY(!window_->openScreen(QStringLiteral("frmSearch")));
    QTRY_VERIFY(!search); // unloaded
    QTRY_COMPARE(window_->mdiArea()->activeSubWindow(), windowOf(home));
    QCOMPARE(window_->windowTitle(), merged(QStringLiteral("Home")));
    QTRY_VERIFY(home->isAncestorOf(QApplication::focusWidget()));
    pressCtrlF4();
    QTRY_VERIFY(!home);
    // What is left is the menu panel, which Ctrl+F4 does not close.
    QMdiSubWindow* panel = windowOf(window_->menuPanel());
    QTRY_COMPARE(window_->mdiArea()->activeSubWindow(), panel);
    QCOMPARE(window_->windowTitle(), mainTitle);
    QVERIFY(panel->isVisible() && !panel->isMaximized());
    QWidget* controls = window_->menuBar()->cornerWidget(Qt::TopRightCorner);
    QVERIFY(!controls || !controls->isVisible());
    window_->menuPanel()->setFocus();
    pressCtrlF4();
    QTest::qWait(20);
    QVERIFY(panel->isVisible());
    QCOMPARE(window_->mdiArea()->subWindowList().size(), 1);
}

// Closing a screen unloads it; the next opening loads a new one: Home opens its table again,
// Search starts empty, Database reads the lists of the file as it is now.
void tst_mainwindow::closingUnloadsAndReopeningLoadsAfresh() {
    DeskFile::made(30).writeBesideProgram();
    const auto restore = qScopeGuard([] { DeskFile::homeGraduates().writeBesideProgram(); });
    const int openBefore = data::Recordset::openCount();
    for (const ScreenEntry& e : screenEntries)
        entry(*window_, e.menuEntry)->trigger();
    QWidget* database = window_->openScreen(QStringLiteral("frmDBase"));
    QCOMPARE(listCount(database, "lvwGraduate"), 30);
    const int programmes = listCount(database, "lvwProgramme");
    QVERIFY(programmes > 0);
    QWidget* search = window_->openScreen(QStringLiteral("frmSearch"));
    search->findChild<ui::TextBox*>(QStringLiteral("txtSearch"))->setText(QStringLiteral("Graduate 1"));
    QTest::mouseClick(search->findChild<QPushButton*>(QStringLiteral("cmdSearch")), Qt::LeftButton);
    QVERIFY(listCount(search, "lvwGraduate") > 0);
    QWidget* home = window_->openScreen(QStringLiteral("frmHome"));
    home->findChild<QLabel*>(QStringLiteral("lblDesc1"))->setText(QStringLiteral("shown before"));
    QCOMPARE(data::Recordset::openCount(), openBefore + 1); // Home's table

    // The file is replaced during the ceremony: the open Database screen keeps its lists.
    QFile::remove(DeskFile::besideProgram() + QStringLiteral(".new"));
    DeskFile::made(12).write(DeskFile::besideProgram() + QStringLiteral(".new"));
    QFile::remove(DeskFile::besideProgram());
    QVERIFY(QFile::rename(DeskFile::besideProgram() + QStringLiteral(".new"), DeskFile::besideProgram()));
    entry(*window_, "mnuAccess")->trigger();
    QCOMPARE(listCount(database, "lvwGraduate"), 30);

    closeScreens(*window_);
    QTRY_COMPARE(data::Recordset::openCount(), openBefore); // Home's table went with it
    for (const ScreenEntry& e : screenEntries)
        QVERIFY2(!window_->openScreen(QString::fromLatin1(e.name)), e.name);

    entry(*window_, "mnuAccess")->trigger();
    database = window_->openScreen(QStringLiteral("frmDBase"));
    auto* graduates = database->findChild<ui::ReportList*>(QStringLiteral("lvwGraduate"));
    QCOMPARE(graduates->itemCount(), 12);
    QCOMPARE(graduates->subItemText(0, 1), QStringLiteral("0001"));
    QCOMPARE(listCount(database, "lvwProgramme"), programmes);
    entry(*window_, "mnuSearch")->trigger();
    search = window_->openScreen(QStringLiteral("frmSearch"));
    QCOMPARE(search->findChild<ui::TextBox*>(QStringLiteral("txtSearch"))->text(), QString());
    QCOMPARE(listCount(search, "lvwGraduate"), 0);
    entry(*window_, "mnuHome")->trigger();
    home = window_->openScreen(QStringLiteral("frmHome"));
    QVERIFY(home->findChild<QLabel*>(QStringLiteral("lblDesc1"))->text() != QStringLiteral("shown before"));
    QCOMPARE(data::Recordset::openCount(), openBefore + 1);
}

// Ctrl+F4 while the Home screen waits after a scan: the screen goes away, the waiting handler
// ends without touching a deleted screen, and the next Home is a new one.
void tst_mainwindow::closingDuringTheScanWait() {
    entry(*window_, "mnuHome")->trigger();
    QPointer<QWidget> home = window_->openScreen(QStringLiteral("frmHome"));
    auto* id = home->findChild<ui::TextBox*>(QStringLiteral("txtStudentID"));
    QTRY_COMPARE(QApplication::focusWidget(), id);
    bool closedInsideTheWait = false;
    QTimer::singleShot(30, window_.get(), [&] {
        pressCtrlF4();
        closedInsideTheWait = home && !window_->openScreen(QStringLiteral("frmHome"));
    });
    QTest::keyClicks(id, QStringLiteral("ABC123456789"));
    QVERIFY(closedInsideTheWait);
    QTRY_VERIFY(!home);
    entry(*window_, "mnuHome")->trigger();
    QWidget* again = window_->openScreen(QStringLiteral("frmHome"));
    QVERIFY(again);
    QCOMPARE(again->findChild<ui::TextBox*>(QStringLiteral("txtStudentID"))->text(), QString());
}

// With the file missing, opening a screen shows it (its load ended early: not centred), tells
// the operator once and gives no focus; with the file back, closing and opening it again loads it.
void tst_mainwindow::failedLoadStillShowsTheScreen() {
    DeskFile::made(30).writeBesideProgram();
    const auto restore = qScopeGuard([] { DeskFile::homeGraduates().writeBesideProgram(); });
    const QString saved = DeskFile::besideProgram() + QStringLiteral(".saved");
    QFile::remove(saved);
    QVERIFY(QFile::rename(DeskFile::besideProgram(), saved));
    for (const char* menuEntry : {"mnuHome", "mnuAccess"}) {
        const QString name =
            QString::fromLatin1(menuEntry == QByteArrayView("mnuHome") ? "frmHome" : "frmDBase");
        failures_.clear();
        entry(*window_, menuEntry)->trigger();
        QCOMPARE(failures_.size(), 1);
        QWidget* screen = window_->openScreen(name);
        QMdiSubWindow* sub = windowOf(screen);
        QVERIFY(sub && sub->isVisible() && sub->isMaximized());
        QCOMPARE(window_->mdiArea()->activeSubWindow(), sub);
        QCOMPARE(window_->mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), sub);
        QCOMPARE(window_->windowTitle(), merged(sub->windowTitle()));
        if (name == QLatin1String("frmHome")) {
            QCOMPARE(screen->findChild<QFrame*>(QStringLiteral("Frame2"))->pos(),
                     ui::twipsRect(240, 240, 0, 0).topLeft());
        } else {
            QCOMPARE(listCount(screen, "lvwGraduate"), 0);
        }
        // Shown again: no second load, no second message.
        entry(*window_, menuEntry)->trigger();
        QCOMPARE(failures_.size(), 1);
    }
    // Search reads nothing when it opens.
    entry(*window_, "mnuSearch")->trigger();
    QCOMPARE(failures_.size(), 1);

    QVERIFY(QFile::rename(saved, DeskFile::besideProgram()));
    closeScreens(*window_);
    failures_.clear();
    QCOMPARE(window_->openScreen(QStringLiteral("frmDBase")), nullptr);
    entry(*window_, "mnuAccess")->trigger();
    QCOMPARE(listCount(window_->openScreen(QStringLiteral("frmDBase")), "lvwGraduate"), 30);
    QCOMPARE(window_->openScreen(QStringLiteral("frmHome")), nullptr);
    entry(*window_, "mnuHome")->trigger();
    QWidget* home = window_->openScreen(QStringLiteral("frmHome"));
    QVERIFY(home->findChild<QFrame*>(QStringLiteral("Frame2"))->pos() !=
            ui::twipsRect(240, 240, 0, 0).topLeft());
    QTRY_COMPARE(QApplication::focusWidget(), home->findChild<ui::TextBox*>(QStringLiteral("txtStudentID")));
    QCOMPARE(failures_.size(), 0);
}

void tst_mainwindow::panelButtonsNamedAndPressedWithEnter() {
    app::frmMenu* panel = window_->menuPanel();
    const std::pair<const char*, const char*> names[] = {{"cmdHome", "Home System"},
                                                         {"Command2", "Data Manager"},
                                                         {"cmdDelivery", "View Graduate List"},
                                                         {"cmdSearch", "Search Graduate"},
                                                         {"cmdStaffReg", "Customize Data"},
                                                         {"cmdRecord", "Audio Recorder"},
                                                         {"cmdShortname", "Print Barcode"},
                                                         {"Command1", "Technical Support"},
                                                         {"Command3", "Spare button"},
                                                         {"cmdStaffAttend", "Staff Attendance"}};
    for (const auto& [name, caption] : names)
        QCOMPARE(panel->findChild<QPushButton*>(QString::fromLatin1(name))->accessibleName(),
                 QString::fromLatin1(caption));
    auto* search = panel->findChild<QPushButton*>(QStringLiteral("cmdSearch"));
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(window_->openScreen(QStringLiteral("frmSearch")));
}

// Minimising the active screen (its button in the menu bar) hands the keyboard to the screen
// that becomes active, as showing it would: a scan then lands in Home's ID box. With no screen
// left in view, the panel takes it.
void tst_mainwindow::minimisedScreenGivesTheKeyboardAway() {
    entry(*window_, "mnuHome")->trigger();
    QWidget* home = window_->openScreen(QStringLiteral("frmHome"));
    auto* id = home->findChild<ui::TextBox*>(QStringLiteral("txtStudentID"));
    entry(*window_, "mnuSearch")->trigger();
    QWidget* search = window_->openScreen(QStringLiteral("frmSearch"));
    QTRY_VERIFY(search->isAncestorOf(QApplication::focusWidget()));

    windowOf(search)->showMinimized();
    QTRY_COMPARE(QApplication::focusWidget(), id);
    QCOMPARE(window_->mdiArea()->activeSubWindow(), windowOf(home));
    QCOMPARE(window_->windowTitle(), merged(QStringLiteral("Home")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ABC123456789"));
    QTRY_COMPARE(id->text(), QStringLiteral("ABC12345678"));
    QCOMPARE(home->findChild<QLabel*>(QStringLiteral("lblDesc1"))->text(),
             QStringLiteral("Ahmad Faris bin Ismail"));

    windowOf(home)->showMinimized();
    QWidget* panel = window_->menuPanel();
    QTRY_VERIFY(panel->isAncestorOf(QApplication::focusWidget()));
    QCOMPARE(window_->mdiArea()->activeSubWindow(), windowOf(panel));
    QCOMPARE(window_->windowTitle(), mainTitle);
    // Shown again, the screen comes back maximised and takes the keyboard back.
    entry(*window_, "mnuHome")->trigger();
    QVERIFY(windowOf(home)->isMaximized() && !windowOf(home)->isMinimized());
    QTRY_COMPARE(QApplication::focusWidget(), id);
}

// Restored, resized and maximised again, a screen keeps its navy panel in the middle of it,
// and the keyboard where it was.
void tst_mainwindow::restoredScreenKeepsItsPanelCentred() {
    DeskFile::made(30).writeBesideProgram();
    const auto restore = qScopeGuard([] { DeskFile::homeGraduates().writeBesideProgram(); });
    for (const ScreenEntry& e : screenEntries) {
        entry(*window_, e.menuEntry)->trigger();
        QWidget* screen = window_->openScreen(QString::fromLatin1(e.name));
        QMdiSubWindow* sub = windowOf(screen);
        const QWidget* frame = screen->findChild<QWidget*>(QStringLiteral("Frame2"));
        const auto centred = [&] {
            const QPoint off = frame->geometry().center() - screen->rect().center();
            return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
        };
        QVERIFY2(centred(), e.name);
        QTRY_VERIFY(screen->isAncestorOf(QApplication::focusWidget()));
        QWidget* keyboard = QApplication::focusWidget();
        sub->showNormal();
        QTRY_VERIFY2(!sub->isMaximized() && centred(), e.name);
        QTRY_COMPARE(QApplication::focusWidget(), keyboard); // not handed to the first control
        sub->resize(sub->size() + QSize(90, 40));
        QTRY_VERIFY2(centred(), e.name);
        sub->showMaximized();
        QTRY_VERIFY2(sub->isMaximized() && centred(), e.name);
    }
}

// Closing the main window with every screen open says nothing on the console.
namespace {
QStringList consoleMessages;
void collectMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    consoleMessages << message;
}
} // namespace

void tst_mainwindow::closingPrintsNothing() {
    DeskFile::made(30).writeBesideProgram();
    const auto restore = qScopeGuard([] { DeskFile::homeGraduates().writeBesideProgram(); });
    for (const ScreenEntry& e : screenEntries)
        entry(*window_, e.menuEntry)->trigger();
    consoleMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessage);
    QTimer::singleShot(0, window_.get(), [this] { window_->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(3000);
    const int code = QCoreApplication::exec();
    window_.reset();
    qInstallMessageHandler(previous);
    QCOMPARE(code, 0);
    QCOMPARE(consoleMessages, QStringList());
}

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
