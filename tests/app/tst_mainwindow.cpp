// The main window, its menus, the menu panel and navigation, in real windows.
#include "GraduateFile.h"
#include "GraduateFixture.h"
#include "HandlerGuard.h"
#include "Twips.h"
#include "data/Recordset.h"
#include "database/frmAddEdit.h"
#include "fraMDI.h"
#include "frmMenu.h"
#include "frmSplash.h"
#include "modGeneral.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace convodesk;
using app::fraMDI;

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

private:
    std::unique_ptr<fraMDI> window_;
    QList<ui::Failure> failures_;
};

void tst_mainwindow::initTestCase() {
    ui::setFailureReporter([this](const ui::Failure& f) { failures_ << f; });
    testing::writeTasselMdb(testing::standardGraduates());
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
    const int children = window_->mdiArea()->subWindowList().size();
    const int windows = QApplication::topLevelWidgets().size();
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
    QTRY_COMPARE(QApplication::focusWidget(), home->findChild<QLineEdit*>(QStringLiteral("txtStudentID")));
    QVERIFY(sub->isMaximized());
    QCOMPARE(sub->geometry(), window_->clientArea()->rect());
    QCOMPARE(window_->windowTitle(), mainTitle);

    // Centred in the main window's client area when it loaded.
    const QWidget* frame = home->findChild<QWidget*>(QStringLiteral("Frame2"));
    const ui::TwipsPosition at = ui::placedTwips(*frame);
    QCOMPARE(at.left, float(ui::pixelsToTwips(window_->clientArea()->width()) - 10935) / 2.0f);
    QCOMPARE(frame->pos(), QPoint(ui::twipsToPixels(at.left), ui::twipsToPixels(at.top)));

    // A scan works inside the main window.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ABC123456789"));
    QTRY_COMPARE(home->findChild<QLineEdit*>(QStringLiteral("txtStudentID"))->text(),
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
    const int children = window_->mdiArea()->subWindowList().size();
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
    data::test::writeGraduateFile(testing::tasselMdbPath(), 30);
    const auto restore = qScopeGuard([] { testing::writeTasselMdb(testing::standardGraduates()); });
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

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
