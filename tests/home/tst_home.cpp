// The Home screen against real Tassel.mdb files: layout, the scan flow and its failures.
#include "data/DataError.h"
#include "screens/home/frmHome.h"
#include "support/DeskFile.h"
#include "support/FailureLog.h"
#include "ui/AppFonts.h"
#include "ui/BandLabel.h"
#include "ui/HandlerGuard.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace convodesk;
using screens::frmHome;
using testing::DeskFile;

namespace {

const QString firstId = QStringLiteral("ABC123456789");
const QString firstName = QStringLiteral("Ahmad Faris bin Ismail");
const QString firstProgramme = QStringLiteral("Diploma in Accounting");

// The screen loaded for a main window client area of 12855 x 6915 twips, shown and focused.
struct OpenScreen {
    QWidget client;
    frmHome home;
    ui::TextBox* id = nullptr;
    QString designName;
    QString designProgramme;

    OpenScreen() {
        client.resize(ui::twipsRect(0, 0, 12855, 6915).size());
        id = home.findChild<ui::TextBox*>(QStringLiteral("txtStudentID"));
        designName = home.shownName();
        designProgramme = home.shownProgramme();
    }
    bool show() {
        home.show();
        home.activateWindow();
        if (!QTest::qWaitForWindowActive(&home))
            return false;
        id->setFocus();
        return QTest::qWaitFor([this] { return QApplication::focusWidget() == id; });
    }
    template <class T> T* control(const char* name) { return home.findChild<T*>(QString::fromLatin1(name)); }
};

QString describe(const QRectF& ink, const QRect& box) {
    return QStringLiteral("ink %1,%2 %3x%4 in %5,%6 %7x%8")
        .arg(ink.x())
        .arg(ink.y())
        .arg(ink.width())
        .arg(ink.height())
        .arg(box.x())
        .arg(box.y())
        .arg(box.width())
        .arg(box.height());
}

// Keys as a barcode scanner sends them: all queued at once.
void scanFast(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    for (QChar c : text) {
        QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c)));
        QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c)));
    }
}

// Keys as an operator types them: each one processed before the next.
void typeSlowly(const QString& text) {
    for (QChar c : text) {
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::qWait(20);
    }
}

} // namespace

class tst_home : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutMatchesTheDesign();
    void elevenCharactersDoNothingTheTwelfthLooksUp();
    void deletingFromThirteenToTwelveLooksUp();
    void pasteOfTwelveLooksUpOnce();
    void characterDuringTheWaitIsRemovedAndLookedUpAgain();
    void secondScanStraightAfterAHit();
    void missKeepsThePreviousGraduate();
    void onlyBlanksAreTrimmed();
    void resetClearsEverythingAndLooksNothingUp();
    void enterWithAnEmptyBox();
    void backspaceFollowsTheCaret();
    void backspaceGoesWhereTheFocusIs();
    void nullNameOrProgrammeShowsEmpty();
    void quoteInTheIdIsMatchedLiterally();
    void otherButtonsAndMuteCheckBox();
    void missingFileAtLoad();
    void missingFileAtLookup();
    void idBoxWithoutLengthLimit();
    void picturesHaveNamesAndEnterPressesThem();
    void longTextsShrinkToFitAndNeverVanish();
    void everyScriptSitsInsideItsBand();

private:
    testing::FailureLog failureLog_;
    QList<ui::Failure>& failures_ = failureLog_.failures();
    int expectedFailures_ = 0;
};

void tst_home::initTestCase() {
    ui::registerProgramFonts();
    DeskFile::homeGraduates().writeBesideProgram();
}

void tst_home::init() {
    failures_.clear();
    expectedFailures_ = 0;
    if (!QFile::exists(DeskFile::besideProgram()))
        DeskFile::homeGraduates().writeBesideProgram();
}

void tst_home::cleanup() {
    QCOMPARE(failures_.size(), expectedFailures_);
    QTest::qWait(150); // let a pending Backspace land before the next test
}

void tst_home::layoutMatchesTheDesign() {
    OpenScreen s;
    struct Expected {
        const char* name;
        const char* container;
        QRect twips;
    };
    const Expected table[] = {
        {"Frame2", "frmHome", {240, 240, 10935, 5850}},
        {"Frame1", "Frame2", {0, 480, 10935, 5295}},
        {"txtStudentID", "Frame1", {3600, 830, 3705, 630}},
        {"chkMuteSound", "Frame1", {6440, 1560, 650, 495}},
        {"cmdOutput", "Frame1", {5800, 1560, 650, 495}},
        {"cmdShow", "Frame1", {5150, 1560, 650, 495}},
        {"cmdReset", "Frame1", {4500, 1560, 650, 495}},
        {"cmdEnter", "Frame1", {3840, 1560, 650, 495}},
        {"lblDesc2", "Frame1", {600, 3240, 9735, 1215}},
        {"lblDesc1", "Frame1", {0, 2535, 10935, 675}},
        {"lblDesc1Back", "Frame1", {0, 2520, 10935, 675}},
        {"lblDesc2Back", "Frame1", {0, 3240, 10935, 1245}},
        {"Label1", "Frame2", {180, 75, 7695, 375}},
    };
    for (const Expected& e : table) {
        QWidget* w = s.control<QWidget>(e.name);
        QVERIFY2(w, e.name);
        QCOMPARE(w->parentWidget()->objectName(), QString::fromLatin1(e.container));
        const QRect& t = e.twips;
        QCOMPARE(w->geometry(), ui::twipsRect(t.x(), t.y(), t.width(), t.height()));
    }
    QCOMPARE(s.home.windowTitle(), QStringLiteral("Home"));
    QCOMPARE(s.control<QFrame>("Frame2")->palette().color(QPalette::Window), QColor(0, 0, 128));
    QCOMPARE(s.control<QFrame>("Frame1")->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(s.control<QLabel>("lblDesc1Back")->palette().color(QPalette::Window), QColor(64, 64, 64));
    QCOMPARE(s.control<QLabel>("lblDesc2Back")->palette().color(QPalette::Window), QColor(0, 0, 64));
    QCOMPARE(s.control<QLabel>("Label1")->text(),
             QStringLiteral("Home - Scan Barcode & View on Output Screen"));
    QCOMPARE(s.control<QPushButton>("cmdEnter")->toolTip(), QStringLiteral(" Submit Data "));
    QCOMPARE(s.control<QPushButton>("cmdReset")->toolTip(), QStringLiteral(" Refresh Text Box "));
    QCOMPARE(s.control<QPushButton>("cmdShow")->toolTip(), QStringLiteral(" Show Data on Output Screen "));
    QCOMPARE(s.control<QPushButton>("cmdOutput")->toolTip(), QStringLiteral(" Clear Output Screen "));
    QCOMPARE(s.id->font().pointSizeF(), 21.75);
    QCOMPARE(s.control<QLabel>("lblDesc1")->font().pointSizeF(), 24.0);
    QVERIFY(!s.designName.isEmpty());
    QCOMPARE(s.designProgramme, QStringLiteral("Diploma Teknologi Penyejukbekuan dan Penyaman Udara"));

    // The design programme takes two lines, and they fit the band without clipping.
    for (const char* name : {"lblDesc1", "lblDesc2"}) {
        auto* band = qobject_cast<ui::BandLabel*>(s.control<QLabel>(name));
        QVERIFY2(band, name);
        const QList<double> tops = band->lineTops();
        QCOMPARE(tops.size(), name == QByteArrayView("lblDesc1") ? 1 : 2);
        QVERIFY(tops.first() >= -4);
        QVERIFY2(QRectF(band->rect()).contains(band->inkRect()),
                 qPrintable(describe(band->inkRect(), band->rect())));
    }

    // Bands behind the texts: the text labels are above their bands.
    const QObjectList stack = s.control<QFrame>("Frame1")->children();
    QVERIFY(stack.indexOf(s.control<QLabel>("lblDesc1")) > stack.indexOf(s.control<QLabel>("lblDesc1Back")));
    QVERIFY(stack.indexOf(s.control<QLabel>("lblDesc2")) > stack.indexOf(s.control<QLabel>("lblDesc2Back")));

    QStringList order;
    for (QWidget* w : s.home.tabOrder())
        order << w->objectName();
    QCOMPARE(order,
             (QStringList{"cmdEnter", "cmdReset", "cmdShow", "cmdOutput", "chkMuteSound", "txtStudentID"}));

    s.home.Form_Load(s.client);
    QCOMPARE(s.control<QFrame>("Frame2")->pos(), QPoint(64, 36)); // 960, 532.5 twips
}

void tst_home::elevenCharactersDoNothingTheTwelfthLooksUp() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    typeSlowly(firstId.left(11));
    QCOMPARE(s.id->text(), firstId.left(11));
    QCOMPARE(s.home.shownName(), s.designName);
    QCOMPARE(s.home.shownProgramme(), s.designProgramme);
    typeSlowly(firstId.right(1));
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    QCOMPARE(s.home.shownName(), firstName);
    QCOMPARE(s.home.shownProgramme(), firstProgramme);
    QCOMPARE(QApplication::focusWidget(), s.id);
    // Typing the last character again looks the same graduate up again.
    typeSlowly(firstId.right(1));
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    QCOMPARE(s.home.shownName(), firstName);
}

void tst_home::deletingFromThirteenToTwelveLooksUp() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(firstId + QLatin1Char('Z'));
    QCOMPARE(s.home.shownName(), s.designName);
    QTest::keyClick(s.id, Qt::Key_Backspace);
    QCOMPARE(s.home.shownName(), firstName);
    QTRY_COMPARE(s.id->text(), firstId.left(11));
}

void tst_home::pasteOfTwelveLooksUpOnce() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    QApplication::clipboard()->setText(firstId);
    s.id->paste();
    QCOMPARE(s.home.shownName(), firstName);
    QCOMPARE(s.id->text(), firstId); // the Backspace is queued, it arrives after the handler
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    QTest::qWait(150);
    QCOMPARE(s.id->text(), firstId.left(11)); // one lookup, one Backspace
}

void tst_home::characterDuringTheWaitIsRemovedAndLookedUpAgain() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    scanFast(firstId + QLatin1Char('X'));
    // 12 -> lookup; X arrives in the wait (13); the Backspace takes X (12 -> lookup again) and
    // the second Backspace leaves 11.
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    QTest::qWait(150);
    QCOMPARE(s.id->text(), firstId.left(11));
    QCOMPARE(s.home.shownName(), firstName);
}

void tst_home::secondScanStraightAfterAHit() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    scanFast(firstId);
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    scanFast(QStringLiteral("DEF987654321"));
    // Its first character completes "ABC12345678D" (not a graduate); the rest goes past 12.
    QTRY_COMPARE(s.id->text(), QStringLiteral("ABC12345678DEF98765432"));
    QCOMPARE(s.home.shownName(), firstName);
}

void tst_home::missKeepsThePreviousGraduate() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(firstId);
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    s.id->setText(QStringLiteral("ZZZ000000000"));
    QTRY_COMPARE(s.id->text(), QStringLiteral("ZZZ00000000"));
    QCOMPARE(s.home.shownName(), firstName);
    QCOMPARE(s.home.shownProgramme(), firstProgramme);
}

void tst_home::onlyBlanksAreTrimmed() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(QStringLiteral("DEF987654321"));
    QCOMPARE(s.home.shownName(), QStringLiteral("Siti\tAminah"));
    QCOMPARE(s.home.shownProgramme(), QStringLiteral("Certificate in Culinary Arts"));
}

void tst_home::resetClearsEverythingAndLooksNothingUp() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(firstId);
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    QTest::mouseClick(s.control<QPushButton>("cmdReset"), Qt::LeftButton);
    QCOMPARE(s.id->text(), QString());
    QCOMPARE(s.home.shownName(), QString());
    QCOMPARE(s.home.shownProgramme(), QString());
    QCOMPARE(QApplication::focusWidget(), s.id);
    QTest::qWait(150);
    QCOMPARE(s.id->text(), QString());
}

void tst_home::enterWithAnEmptyBox() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    QTest::mouseClick(s.control<QPushButton>("cmdEnter"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), s.id);
    QTest::qWait(150);
    QCOMPARE(s.id->text(), QString());
    QCOMPARE(s.home.shownName(), s.designName);
    // Any length: a click looks up what the box holds.
    s.id->setText(firstId + QStringLiteral("12"));
    QTest::mouseClick(s.control<QPushButton>("cmdEnter"), Qt::LeftButton);
    QTRY_COMPARE(s.id->text(), firstId + QStringLiteral("1"));
    QCOMPARE(s.home.shownName(), s.designName);
}

void tst_home::backspaceFollowsTheCaret() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    QTimer::singleShot(30, s.id, [&s] { s.id->setCursorPosition(3); });
    s.id->setText(firstId);
    QTRY_COMPARE(s.id->text(), QStringLiteral("AB123456789"));
}

void tst_home::backspaceGoesWhereTheFocusIs() {
    OpenScreen s;
    auto* other = new QLineEdit(QStringLiteral("xyz"), &s.home);
    other->setGeometry(700, 420, 100, 20);
    other->show();
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    QTimer::singleShot(30, other, [other] { other->setFocus(); });
    s.id->setText(firstId);
    QTRY_COMPARE(other->text(), QStringLiteral("xy"));
    QCOMPARE(s.id->text(), firstId);
    QCOMPARE(s.home.shownName(), firstName);
}

void tst_home::nullNameOrProgrammeShowsEmpty() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(QStringLiteral("NUL000000001"));
    QCOMPARE(s.home.shownName(), QString());
    QCOMPARE(s.home.shownProgramme(), QStringLiteral("Diploma in Nursing"));
    QTRY_COMPARE(s.id->text(), QStringLiteral("NUL00000000"));
    s.id->setText(QStringLiteral("NUL000000002"));
    QCOMPARE(s.home.shownName(), QStringLiteral("Lim Wei Jie"));
    QCOMPARE(s.home.shownProgramme(), QString());
    QTRY_COMPARE(s.id->text(), QStringLiteral("NUL00000000"));
}

void tst_home::quoteInTheIdIsMatchedLiterally() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(QStringLiteral("O'1234567890"));
    QCOMPARE(s.home.shownName(), QStringLiteral("Daniel O'Brien"));
    QTRY_COMPARE(s.id->text(), QStringLiteral("O'123456789"));
    // Would match every row if the quote ended the literal.
    s.id->setText(QStringLiteral("x' or 'a'='a"));
    QTRY_COMPARE(s.id->text(), QStringLiteral("x' or 'a'='"));
    QCOMPARE(s.home.shownName(), QStringLiteral("Daniel O'Brien"));
}

void tst_home::otherButtonsAndMuteCheckBox() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(QStringLiteral("ABC"));
    QTest::mouseClick(s.control<QPushButton>("cmdShow"), Qt::LeftButton);
    QTest::mouseClick(s.control<QPushButton>("cmdOutput"), Qt::LeftButton);
    QTest::qWait(150);
    QCOMPARE(s.id->text(), QStringLiteral("ABC"));
    QCOMPARE(s.home.shownName(), s.designName);
    auto* mute = s.control<QPushButton>("chkMuteSound");
    QVERIFY(!mute->isChecked());
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(mute->isChecked());
    QCOMPARE(QApplication::focusWidget(), s.id);
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(!mute->isChecked());
    QCOMPARE(s.id->text(), QStringLiteral("ABC"));
}

void tst_home::missingFileAtLoad() {
    QVERIFY(QFile::remove(DeskFile::besideProgram()));
    OpenScreen s;
    const QPoint designPosition = s.control<QFrame>("Frame2")->pos();
    bool failed = !ui::runHandler([&s] { s.home.Form_Load(s.client); });
    QVERIFY(failed);
    expectedFailures_ = 1;
    QCOMPARE(failures_.size(), 1);
    QCOMPARE(failures_[0].number, int(data::DataError::FileNotFound));
    QVERIFY(!failures_[0].description.isEmpty());
    QCOMPARE(s.control<QFrame>("Frame2")->pos(), designPosition);

    QVERIFY(s.show());
    s.id->setText(firstId);
    expectedFailures_ = 2;
    QCOMPARE(failures_.size(), 2);
    QTest::qWait(150);
    QCOMPARE(s.id->text(), firstId); // no Backspace after a failed lookup
    QCOMPARE(s.home.shownName(), s.designName);
    QCOMPARE(s.home.shownProgramme(), s.designProgramme);
}

void tst_home::missingFileAtLookup() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    s.id->setText(firstId);
    QTRY_COMPARE(s.id->text(), firstId.left(11));
    QVERIFY(QFile::remove(DeskFile::besideProgram()));
    s.id->setText(QStringLiteral("DEF987654321"));
    expectedFailures_ = 1;
    QCOMPARE(failures_.size(), 1);
    QCOMPARE(failures_[0].number, int(data::DataError::FileNotFound));
    QTest::qWait(150);
    QCOMPARE(s.id->text(), QStringLiteral("DEF987654321"));
    QCOMPARE(s.home.shownName(), firstName);
    QCOMPARE(s.home.shownProgramme(), firstProgramme);
}

// The box takes any length; a megabyte pasted in lands whole, starts no lookup, and the box
// takes typing afterwards.
void tst_home::idBoxWithoutLengthLimit() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    QString big;
    big.reserve(1 << 20);
    while (big.size() < (1 << 20))
        big += QStringLiteral("ABC123456789 Nur Aisyah \u6797\u5fd7\u5f3a ");
    big.truncate(1 << 20);
    QApplication::clipboard()->setText(big);
    QTest::keyClick(s.id, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.id->text().size(), 1 << 20);
    s.home.repaint();
    QTest::keyClick(s.id, Qt::Key_X);
    QCOMPARE(s.id->text().size(), (1 << 20) + 1);
    QCOMPARE(s.home.shownName(), s.designName);
    s.id->setText(QString(40000, u'7'));
    QCOMPARE(s.id->text().size(), 40000);
}

void tst_home::picturesHaveNamesAndEnterPressesThem() {
    OpenScreen s;
    s.home.Form_Load(s.client);
    QVERIFY(s.show());
    const std::pair<const char*, const char*> names[] = {{"cmdEnter", "Submit Data"},
                                                         {"cmdReset", "Refresh Text Box"},
                                                         {"cmdShow", "Show Data on Output Screen"},
                                                         {"cmdOutput", "Clear Output Screen"},
                                                         {"chkMuteSound", "Mute Sound"}};
    for (const auto& [name, accessible] : names)
        QCOMPARE(s.control<QPushButton>(name)->accessibleName(), QString::fromLatin1(accessible));
    QCOMPARE(s.id->accessibleName(), QStringLiteral("Student ID"));
    // Enter on the focused reset button resets, as a click does.
    s.id->setText(QStringLiteral("ABC"));
    s.control<QPushButton>("cmdReset")->setFocus();
    QTest::keyClick(s.control<QPushButton>("cmdReset"), Qt::Key_Return);
    QCOMPARE(s.id->text(), QString());
    QCOMPARE(s.home.shownName(), QString());
    QCOMPARE(QApplication::focusWidget(), s.id);
}

// A name keeps 24 points while it fits one line; a longer one is shown whole at the size that
// fits it on that line, never under 12 points; past that it wraps, and what still does not fit
// ends in "…". The programme does the same within two lines.
void tst_home::longTextsShrinkToFitAndNeverVanish() {
    OpenScreen s;
    auto* name = qobject_cast<ui::BandLabel*>(s.control<QLabel>("lblDesc1"));
    auto* programme = qobject_cast<ui::BandLabel*>(s.control<QLabel>("lblDesc2"));
    QVERIFY(name && programme);
    const auto fitsWidth = [](const ui::BandText& shown, const QLabel* label) {
        for (const QString& line : shown.lines)
            if (QFontMetricsF(shown.font).horizontalAdvance(line) > label->width())
                return false;
        return true;
    };

    name->setText(firstName);
    QCOMPARE(name->shownText().font.pointSizeF(), 24.0);
    QCOMPARE(name->shownText().lines, QStringList{firstName});

    const QString longName =
        QStringLiteral("Sharifah Nur Aisyah Nadia binti Syed Muhammad Kamaruddin Al-Habshi");
    name->setText(longName);
    ui::BandText shown = name->shownText();
    QCOMPARE(shown.lines, QStringList{longName});
    QVERIFY(!shown.elided);
    QVERIFY(shown.font.pointSizeF() < 24 && shown.font.pointSizeF() >= 12);
    QVERIFY(fitsWidth(shown, name));
    QFont pointLarger = shown.font;
    pointLarger.setPointSizeF(shown.font.pointSizeF() + 1);
    QVERIFY(QFontMetricsF(pointLarger).horizontalAdvance(longName) > name->width() - 2);
    QCOMPARE(name->text(), longName); // the operator's copy of the name is whole

    const QString tooLong = longName + QLatin1Char(' ') + longName + QLatin1Char(' ') + longName;
    name->setText(tooLong);
    shown = name->shownText();
    QCOMPARE(shown.font.pointSizeF(), 12.0);
    QCOMPARE(shown.lines.size(), 2); // as many as the band holds at 12 points
    QVERIFY(shown.elided && shown.lines.last().endsWith(QChar(0x2026)));
    QVERIFY(tooLong.startsWith(shown.lines.first()));
    QVERIFY(fitsWidth(shown, name));
    for (double top : name->lineTops())
        QVERIFY(top >= -4 && top + QFontMetricsF(shown.font).height() <= name->height() + 4);

    // One word longer than the band is broken, not run off its edge.
    name->setText(QString(200, u'W'));
    QVERIFY(fitsWidth(name->shownText(), name));

    programme->setText(QStringLiteral("Diploma in Business Administration"));
    QCOMPARE(programme->shownText().font.pointSizeF(), 24.0);
    const QString longProgramme = QStringLiteral(
        "Diploma Lanjutan Teknologi Kejuruteraan Mekanikal (Penyejukbekuan, Penyaman Udara dan "
        "Sistem Pengudaraan Industri)");
    programme->setText(longProgramme);
    shown = programme->shownText();
    QVERIFY(shown.font.pointSizeF() < 24 && shown.font.pointSizeF() >= 12);
    QVERIFY(shown.lines.size() <= 2 && !shown.elided);
    QCOMPARE(shown.lines.join(QLatin1Char(' ')), longProgramme);
    QVERIFY(fitsWidth(shown, programme));
}

// Latin, Chinese and Tamil names (the last two drawn with fallback fonts of other proportions)
// lie inside the name band, none clipped, each about its middle.
void tst_home::everyScriptSitsInsideItsBand() {
    OpenScreen s;
    auto* name = qobject_cast<ui::BandLabel*>(s.control<QLabel>("lblDesc1"));
    const QRect band = s.control<QLabel>("lblDesc1Back")->geometry().translated(-name->pos());
    const QStringList names = {
        QStringLiteral("Farah Wahida binti Hassan"), QStringLiteral("Lim Chee Keong (\u6797\u5fd7\u5f3a)"),
        QStringLiteral("Arjun a/l Muthusamy (\u0b85\u0bb0\u0bcd\u0b9c\u0bc1\u0ba9\u0bcd)")};
    for (const QString& text : names) {
        name->setText(text);
        const QRectF ink = name->inkRect();
        const QString where = text + QLatin1Char(' ') + describe(ink, band);
        QVERIFY2(!ink.isEmpty(), qPrintable(where));
        QVERIFY2(QRectF(name->rect()).contains(ink), qPrintable(where));
        QVERIFY2(QRectF(band).contains(ink), qPrintable(where));
        QVERIFY2(qAbs(ink.center().y() - QRectF(band).center().y()) <= 5, qPrintable(where));
        QCOMPARE(name->shownText().lines, QStringList{text});
    }
}

QTEST_MAIN(tst_home)
#include "tst_home.moc"
