#include "screens/database/frmAddEdit.h"
#include "screens/database/frmDBase.h"
#include "screens/search/frmSearch.h"
#include "support/DeskFile.h"
#include "support/FailureLog.h"
#include "ui/HandlerGuard.h"
#include "ui/ReportList.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

using namespace convodesk;
using namespace convodesk::testing;
using screens::frmAddEdit;
using screens::frmDBase;
using screens::frmSearch;

class ScreensTest : public QObject {
    Q_OBJECT

    testing::FailureLog failureLog_;
    QList<ui::Failure>& failures_ = failureLog_.failures();

    static QStringList column(const ui::ReportList& list, int index) {
        QStringList texts;
        for (int row = 0; row < list.itemCount(); ++row)
            texts << list.subItemText(row, index);
        return texts;
    }

    static void search(frmSearch& screen, const QString& text) {
        screen.findChild<ui::TextBox*>(QStringLiteral("txtSearch"))->setText(text);
        screen.cmdSearch_Click();
    }

    std::unique_ptr<frmDBase> loadDatabase(QWidget* main = nullptr) {
        auto screen = std::make_unique<frmDBase>(main);
        QWidget client;
        client.resize(1000, 700);
        ui::runHandler([&] { screen->Form_Load(client); });
        return screen;
    }

private slots:
    void init() { failures_.clear(); }

    void searchMatchesNameIdAndProgrammeInQueueOrder() {
        DeskFile::screenContent().writeBesideProgram();
        frmSearch screen;
        auto& list = screen.resultList();
        search(screen, QString());
        QCOMPARE(column(list, 2), (QStringList{"DEF987654321", "XYZ555000111", "ABC123456789", "NUL000000001",
                                               "MOH'D0000001"}));
        QCOMPARE(column(list, 0), (QStringList{"0001", "0002", "0003", "0004", "0005"}));
        QCOMPARE(column(list, 1), column(list, 0));
        QCOMPARE(list.subItemText(3, 3), QString()); // Null name shows empty, the row is complete
        QCOMPARE(list.subItemText(3, 4), QStringLiteral("Diploma in Nursing"));

        search(screen, QStringLiteral("o'b"));
        QCOMPARE(column(list, 3), QStringList{"Daniel O'Brien"});
        search(screen, QStringLiteral("'"));
        QCOMPARE(column(list, 2), (QStringList{"DEF987654321", "MOH'D0000001"}));
        search(screen, QStringLiteral("555000"));
        QCOMPARE(column(list, 2), QStringList{"XYZ555000111"});
        QCOMPARE(column(list, 0), QStringList{"0001"}); // second search numbers afresh
        search(screen, QStringLiteral("ma_in"));
        QCOMPARE(column(list, 2),
                 (QStringList{"DEF987654321", "ABC123456789", "NUL000000001"})); // _: one character
        search(screen, QStringLiteral("100%"));
        QCOMPARE(column(list, 2), QStringList{"MOH'D0000001"});
        search(screen, QStringLiteral("Ahmad%IT"));
        QCOMPARE(list.itemCount(), 0); // % spans within one field only
        search(screen, QStringLiteral("in%ing"));
        QCOMPARE(column(list, 2), (QStringList{"DEF987654321", "NUL000000001"}));
        QVERIFY(failures_.empty());
    }

    void typingAloneAndFocusAfterSearch() {
        DeskFile::screenContent().writeBesideProgram();
        frmSearch screen;
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        auto* box = screen.findChild<ui::TextBox*>(QStringLiteral("txtSearch"));
        QCOMPARE(box->accessibleName(), QStringLiteral("Search text"));
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("Siti"));
        QCOMPARE(screen.resultList().itemCount(), 0);
        QTest::keyClick(box, Qt::Key_Return); // Enter searches too
        QCOMPARE(column(screen.resultList(), 3), QStringList{"Siti Aminah"});
        screen.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->setFocus();
        screen.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
        QTRY_VERIFY(box->hasFocus());
        QCOMPARE(box->text(), QStringLiteral("Siti"));
    }

    void searchNumbersPastFourDigits() {
        DeskFile content;
        content.addNumberedGraduates(10001);
        content.programme();
        content.writeBesideProgram();
        frmSearch screen;
        search(screen, QString());
        auto& list = screen.resultList();
        QCOMPARE(list.itemCount(), 10001);
        QCOMPARE(list.subItemText(998, 1), QStringLiteral("0999"));
        QCOMPARE(list.subItemText(999, 1), QStringLiteral("1000"));
        QCOMPARE(list.subItemText(9998, 1), QStringLiteral("9999"));
        QCOMPARE(list.subItemText(9999, 0), QStringLiteral("10000"));
        QCOMPARE(list.subItemText(9999, 2), QStringLiteral("G00000010000"));
    }

    void failingSearchIsReportedAndTheScreenGoesOn() {
        DeskFile::screenContent().writeBesideProgram();
        frmSearch screen;
        search(screen, QStringLiteral("Siti"));
        QCOMPARE(screen.resultList().itemCount(), 1);
        QFile::remove(DeskFile::besideProgram());
        search(screen, QStringLiteral("Ahmad"));
        QCOMPARE(failures_.size(), size_t(1));
        QVERIFY(failures_[0].number != 0 && !failures_[0].description.isEmpty());
        QCOMPARE(screen.resultList().itemCount(), 1); // failed before the list was touched
        DeskFile::screenContent().writeBesideProgram();
        search(screen, QStringLiteral("Ahmad"));
        QCOMPARE(column(screen.resultList(), 3), QStringList{"Ahmad Faris"});
    }

    void databaseListsBothTabs() {
        DeskFile::screenContent().writeBesideProgram();
        auto screen = loadDatabase();
        QVERIFY(failures_.empty());
        QCOMPARE(screen->tabs().currentIndex(), 0);
        QCOMPARE(screen->tabs().tabText(0), QStringLiteral("Graduate's Data"));
        QCOMPARE(screen->tabs().tabText(1), QStringLiteral("Programme's Data"));
        auto& graduates = screen->graduateList();
        QCOMPARE(column(graduates, 0), (QStringList{"910202-02-2222", "900101-01-1111", "920303-03-3333",
                                                    "930404-04-4444"})); // IC as the item's text
        QCOMPARE(column(graduates, 1), (QStringList{"0001", "0002", "0003", "0004"}));
        QCOMPARE(column(graduates, 8), (QStringList{"No H/P Number", "012-3456789", "No H/P Number", "   "}));
        QCOMPARE(graduates.subItemText(0, 3), QString()); // Null name
        QCOMPARE(graduates.subItemText(0, 6), QStringLiteral("Paid"));
        QCOMPARE(graduates.subItemText(0, 7), QStringLiteral("Yes"));
        auto& programmes = screen->programmeList();
        QCOMPARE(column(programmes, 3),
                 (QStringList{"Certificate in Culinary Arts", "Diploma in IT", "Diploma in Marketing"}));
        QCOMPARE(column(programmes, 0), (QStringList{"001", "002", "003"}));
        QCOMPARE(column(programmes, 1), column(programmes, 0));
        QCOMPARE(programmes.subItemText(0, 4), QString()); // Null faculty
        QCOMPARE(programmes.subItemText(1, 4), QStringLiteral("FTK"));
    }

    void databaseNumbering() {
        DeskFile content;
        content.addNumberedGraduates(10000);
        content.addNumberedProgrammes(1000);
        content.writeBesideProgram();
        auto screen = loadDatabase();
        auto& g = screen->graduateList();
        QCOMPARE(g.itemCount(), 10000);
        QCOMPARE(g.subItemText(8, 1), QStringLiteral("0009"));
        QCOMPARE(g.subItemText(999, 1), QStringLiteral("1000"));
        QCOMPARE(g.subItemText(9999, 1), QStringLiteral("10000"));
        auto& p = screen->programmeList();
        QCOMPARE(p.subItemText(8, 0), QStringLiteral("009"));
        QCOMPARE(p.subItemText(98, 1), QStringLiteral("099"));
        QCOMPARE(p.subItemText(999, 0), QStringLiteral("1000"));
    }

    void databaseMissingFieldsAndEmptySources() {
        // A graduate field missing with rows: the load fails at the first row, no programmes.
        DeskFile content = DeskFile::screenContent();
        content.dropColumn(QStringLiteral("Graduates"), QStringLiteral("Audio"));
        content.writeBesideProgram();
        auto screen = loadDatabase();
        QCOMPARE(failures_.size(), size_t(1));
        QCOMPARE(screen->graduateList().itemCount(), 0);
        QCOMPARE(screen->programmeList().itemCount(), 0);

        // The same without rows: empty list, the programmes load.
        failures_.clear();
        content.graduates().rows.clear();
        content.writeBesideProgram();
        screen = loadDatabase();
        QVERIFY(failures_.empty());
        QCOMPARE(screen->graduateList().itemCount(), 0);
        QCOMPARE(screen->programmeList().itemCount(), 3);

        // A programme field missing: fails after the graduate list is filled.
        content = DeskFile::screenContent();
        content.dropColumn(QStringLiteral("Programme"), QStringLiteral("Program_Faculty"));
        content.writeBesideProgram();
        screen = loadDatabase();
        QCOMPARE(failures_.size(), size_t(1));
        QCOMPARE(screen->graduateList().itemCount(), 4);
        QCOMPARE(screen->programmeList().itemCount(), 0);

        // An empty Programme next to a filled graduate list.
        failures_.clear();
        content.programme().rows.clear();
        content.writeBesideProgram();
        screen = loadDatabase();
        QVERIFY(failures_.empty());
        QCOMPARE(screen->graduateList().itemCount(), 4);
        QCOMPARE(screen->programmeList().itemCount(), 0);
    }

    void reloadRebuildsFromEmpty() {
        DeskFile::screenContent().writeBesideProgram();
        auto screen = loadDatabase();
        QCOMPARE(screen->graduateList().itemCount(), 4);
        DeskFile content = DeskFile::screenContent();
        content.graduates().rows.pop_back();
        content.writeBesideProgram();
        screen = loadDatabase();
        QCOMPARE(screen->graduateList().itemCount(), 3);
        QCOMPARE(screen->graduateList().subItemText(0, 1), QStringLiteral("0001"));
    }

    // The tab pages are silver like the strip, their controls sit where the layout puts them
    // relative to the whole tabbed container, and lists whose columns fit scroll only
    // vertically.
    void databaseTabsAndListsAsLaidOut() {
        DeskFile content = DeskFile::screenContent();
        content.addNumberedGraduates(60); // more rows than the list shows
        content.writeBesideProgram();
        auto screen = loadDatabase();
        screen->resize(ui::twipsRect(0, 0, 13590, 8970).size());
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
        QTabWidget& tabs = screen->tabs();
        for (int page = 0; page < 2; ++page) {
            tabs.setCurrentIndex(page);
            ui::ReportList& list = page == 0 ? screen->graduateList() : screen->programmeList();
            QTRY_VERIFY(list.isVisible());
            QCOMPARE(list.mapTo(&tabs, QPoint(0, 0)), ui::twipsRect(360, 840, 0, 0).topLeft());
            QCOMPARE(list.size(), ui::twipsRect(0, 0, 10575, 6255).size());
            auto* top = tabs.currentWidget()->findChild<QPushButton*>(page == 0 ? "cmdEdit" : "Command10");
            QCOMPARE(top->mapTo(&tabs, QPoint(0, 0)), ui::twipsRect(11160, 840, 0, 0).topLeft());
            QTRY_VERIFY(!list.horizontalScrollBar()->isVisible());
            if (page == 0)
                QVERIFY(list.verticalScrollBar()->isVisible());
            // Between the list and the buttons the page shows its silver.
            const QImage shown = tabs.grab().toImage();
            const QPoint between = list.mapTo(&tabs, QPoint(list.width() + 6, list.height() / 2));
            QCOMPARE(shown.pixelColor(between), QColor(192, 192, 192));
        }
        QCOMPARE(screen->graduateList().header()->sectionSize(8), 0);
    }

    void searchListScrollsOnlyVertically() {
        DeskFile content = DeskFile::screenContent();
        content.addNumberedGraduates(60);
        content.writeBesideProgram();
        frmSearch screen;
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        QTRY_VERIFY(!screen.resultList().horizontalScrollBar()->isVisible()); // empty
        search(screen, QStringLiteral("Graduate"));
        QCOMPARE(screen.resultList().itemCount(), 60);
        QTRY_VERIFY(screen.resultList().verticalScrollBar()->isVisible());
        QVERIFY(!screen.resultList().horizontalScrollBar()->isVisible());
        QCOMPARE(screen.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->accessibleName(),
                 QStringLiteral("Search"));
    }

    // The busy pointer shows while a list fills, and is gone once it is full or has failed.
    void busyPointerWhileListsFill() {
        DeskFile::screenContent().writeBesideProgram();
        QList<Qt::CursorShape> seen;
        const auto record = [&seen] {
            seen << (QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                       : Qt::ArrowCursor);
        };
        frmSearch searchScreen;
        connect(&searchScreen.resultList().listModel(), &QAbstractItemModel::modelReset, this, record);
        search(searchScreen, QStringLiteral("a"));
        auto screen = std::make_unique<frmDBase>();
        connect(&screen->graduateList().listModel(), &QAbstractItemModel::modelReset, this, record);
        connect(&screen->programmeList().listModel(), &QAbstractItemModel::modelReset, this, record);
        QWidget client;
        ui::runHandler([&] { screen->Form_Load(client); });
        QVERIFY(seen.size() >= 3);
        for (Qt::CursorShape shape : seen)
            QCOMPARE(shape, Qt::WaitCursor);
        QVERIFY(!QGuiApplication::overrideCursor());
        QFile::remove(DeskFile::besideProgram());
        search(searchScreen, QStringLiteral("a"));
        QCOMPARE(failures_.size(), size_t(1));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Enter and Return press a focused button, as Space does.
    void enterPressesTheFocusedButton() {
        DeskFile::screenContent().writeBesideProgram();
        frmSearch screen;
        screen.show();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        screen.findChild<ui::TextBox*>(QStringLiteral("txtSearch"))->setText(QStringLiteral("Siti"));
        auto* button = screen.findChild<QPushButton*>(QStringLiteral("cmdSearch"));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(screen.resultList().itemCount(), 1);
        screen.resultList().removeAll();
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(screen.resultList().itemCount(), 1);
    }

    // The dialog is centred as a whole window, title bar and frame included, and Enter on its
    // button (which has the focus) parks it.
    void addEditCentredAndEnterPressesItsButton() {
        DeskFile::screenContent().writeBesideProgram();
        QWidget main;
        main.show();
        auto screen = loadDatabase(&main);
        screen->cmdEdit_Click();
        frmAddEdit* dialog = frmAddEdit::instance();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::qWait(50); // the frame as the window system reports it
        const QPoint centre = dialog->screen()->availableGeometry().center();
        const QPoint off = dialog->frameGeometry().center() - centre;
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
        QTRY_COMPARE(QApplication::focusWidget(),
                     dialog->findChild<QPushButton*>(QStringLiteral("cmdUpdate")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isEnabled());
        dialog->close();
    }

    void addEditParksReopensAndCloses() {
        DeskFile::screenContent().writeBesideProgram();
        QWidget main;
        auto* mainEdit = new QLineEdit(&main);
        main.show();
        auto screen = loadDatabase(&main);
        auto* edit = screen->findChild<QPushButton*>(QStringLiteral("cmdEdit"));
        QCOMPARE(edit->text(), QStringLiteral("Edit Data"));

        screen->cmdEdit_Click();
        QPointer<frmAddEdit> dialog = frmAddEdit::instance();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!main.isEnabled());
        QVERIFY(dialog->isEnabled());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Form1"));
        QTest::keyClicks(mainEdit, QStringLiteral("x")); // the main window takes no input now
        QCOMPARE(mainEdit->text(), QString());

        dialog->move(dialog->pos() + QPoint(37, 21));
        const QPoint parkedAt = dialog->pos();
        dialog->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isEnabled());

        screen->cmdEdit_Click();
        QCOMPARE(frmAddEdit::instance(), dialog.data()); // the same dialog, where it was
        QCOMPARE(dialog->pos(), parkedAt);
        QVERIFY(!main.isEnabled());

        dialog->close();
        QTRY_VERIFY(!dialog);
        QVERIFY(main.isEnabled());
        screen->cmdEdit_Click();
        QVERIFY(frmAddEdit::instance() && frmAddEdit::instance()->pos() != parkedAt); // created anew, centred
        frmAddEdit::instance()->close();
        QVERIFY(main.isEnabled());
    }
};

QTEST_MAIN(ScreensTest)
#include "tst_screens.moc"
