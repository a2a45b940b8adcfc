// The one-line text box of the ID and search boxes: editing as a line edit does, and a text
// of any length shown to its real end.
#include "ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>

using convodesk::ui::TextBox;

namespace {

// A box as wide as the ID box, in a window of its own, with the keyboard.
struct ShownBox {
    QWidget window;
    TextBox* box = new TextBox(&window);
    TextBox* other = new TextBox(&window);

    ShownBox() {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(21.75);
        box->setFont(font);
        box->setGeometry(10, 10, 247, 42);
        other->setGeometry(10, 60, 247, 42);
        window.resize(300, 120);
    }
    bool show() {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        box->setFocus();
        return QTest::qWaitFor([this] { return QApplication::focusWidget() == box; });
    }
};

QString megabyte() {
    QString big;
    big.reserve(1 << 20);
    while (big.size() < (1 << 20))
        big += QStringLiteral("CV24DIT00010 Lim Chee Keong (\u6797\u5fd7\u5f3a) ");
    big.truncate(1 << 20);
    return big;
}

} // namespace

class tst_textbox : public QObject {
    Q_OBJECT
private slots:
    void typingAndOneSignalPerChange();
    void backspaceAndDeleteAtTheCaret();
    void selectionIsReplacedOrRemoved();
    void clipboardKeys();
    void tabSelectsAllAndLeavingDeselects();
    void returnIsSignalledAndPassedOn();
    void megabyteShowsItsRealEnd();
    void moveAndSelectByKeys();
    void lineBreaksStayInTheText();
    void clickPlacesTheCaret();
    void keysBeforeWindowShortcuts();
};

void tst_textbox::typingAndOneSignalPerChange() {
    ShownBox s;
    QVERIFY(s.show());
    QSignalSpy changed(s.box, &TextBox::textChanged);
    QTest::keyClicks(s.box, QStringLiteral("AB1"));
    QCOMPARE(s.box->text(), QStringLiteral("AB1"));
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.last().first().toString(), QStringLiteral("AB1"));
    s.box->setText(QStringLiteral("AB1")); // the same text: no change
    QCOMPARE(changed.size(), 3);
    s.box->setText(QStringLiteral("XYZ"));
    QCOMPARE(changed.size(), 4);
    QCOMPARE(s.box->cursorPosition(), 3);
    s.box->clear();
    QCOMPARE(changed.size(), 5);
    s.box->clear();
    QCOMPARE(changed.size(), 5);
    // Control characters and keys with Ctrl type nothing.
    QTest::keyClick(s.box, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyClick(s.box, Qt::Key_Escape);
    QCOMPARE(s.box->text(), QString());
}

void tst_textbox::backspaceAndDeleteAtTheCaret() {
    ShownBox s;
    QVERIFY(s.show());
    s.box->setText(QStringLiteral("ABCDEF"));
    s.box->setCursorPosition(3);
    // As the Home screen sends it: a posted press without text.
    QApplication::postEvent(s.box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier));
    QTRY_COMPARE(s.box->text(), QStringLiteral("ABDEF"));
    QCOMPARE(s.box->cursorPosition(), 2);
    QTest::keyClick(s.box, Qt::Key_Delete);
    QCOMPARE(s.box->text(), QStringLiteral("ABEF"));
    s.box->setCursorPosition(0);
    QTest::keyClick(s.box, Qt::Key_Backspace);
    QCOMPARE(s.box->text(), QStringLiteral("ABEF"));
    // A character outside the basic plane goes as one.
    s.box->setText(QStringLiteral("A") + QString::fromUcs4(U"\U0001F393") + QStringLiteral("B"));
    QTest::keyClick(s.box, Qt::Key_Left);
    QTest::keyClick(s.box, Qt::Key_Backspace);
    QCOMPARE(s.box->text(), QStringLiteral("AB"));
    s.box->setCursorPosition(1);
    s.box->insert(QString::fromUcs4(U"\U0001F393"));
    s.box->setCursorPosition(1);
    QTest::keyClick(s.box, Qt::Key_Delete);
    QCOMPARE(s.box->text(), QStringLiteral("AB"));
}

void tst_textbox::selectionIsReplacedOrRemoved() {
    ShownBox s;
    QVERIFY(s.show());
    s.box->setText(QStringLiteral("ABCDEF"));
    s.box->setCursorPosition(1);
    QTest::keyClick(s.box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s.box, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(s.box->selectedText(), QStringLiteral("BC"));
    QTest::keyClicks(s.box, QStringLiteral("x"));
    QCOMPARE(s.box->text(), QStringLiteral("AxDEF"));
    QTest::keyClick(s.box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(s.box->selectedText(), QStringLiteral("AxDEF"));
    QTest::keyClick(s.box, Qt::Key_Backspace);
    QCOMPARE(s.box->text(), QString());
}

void tst_textbox::clipboardKeys() {
    ShownBox s;
    QVERIFY(s.show());
    s.box->setText(QStringLiteral("ABC123"));
    QTest::keyClick(s.box, Qt::Key_Home);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(s.box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s.box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ABC"));
    QCOMPARE(s.box->text(), QStringLiteral("123"));
    QTest::keyClick(s.box, Qt::Key_End);
    QTest::keyClick(s.box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.box->text(), QStringLiteral("123ABC"));
    QTest::keyClick(s.box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(s.box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("123ABC"));
}

// As the platform's line edit: Tab into the box selects what it holds (a Backspace then
// empties it); the selection goes when the keyboard leaves.
void tst_textbox::tabSelectsAllAndLeavingDeselects() {
    ShownBox s;
    QVERIFY(s.show());
    s.box->setText(QStringLiteral("ABC"));
    s.other->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(s.other->hasFocus());
    QVERIFY(!s.box->hasSelectedText());
    s.box->setFocus(Qt::BacktabFocusReason);
    QTRY_VERIFY(s.box->hasFocus());
    QCOMPARE(s.box->selectedText(), QStringLiteral("ABC"));
    s.other->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(!s.box->hasSelectedText());
    s.box->setFocus(Qt::OtherFocusReason);
    QVERIFY(!s.box->hasSelectedText());
}

void tst_textbox::returnIsSignalledAndPassedOn() {
    ShownBox s;
    QVERIFY(s.show());
    QSignalSpy returned(s.box, &TextBox::returnPressed);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(s.box, &press);
    QCOMPARE(returned.size(), 1);
    QVERIFY(!press.isAccepted()); // a dialog's default button still sees it
    QCOMPARE(s.box->text(), QString());
}

// A megabyte pasted in: the box shows the text's real end, a typed key appears there, Home
// and End go to either end.
void tst_textbox::megabyteShowsItsRealEnd() {
    ShownBox s;
    QVERIFY(s.show());
    const QString big = megabyte();
    QApplication::clipboard()->setText(big);
    QTest::keyClick(s.box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.box->text().size(), big.size());
    QCOMPARE(s.box->cursorPosition(), big.size());
    QVERIFY(s.box->isShown(big.size()));
    QVERIFY(s.box->firstShownPosition() > big.size() - 100);
    QTest::keyClick(s.box, Qt::Key_X);
    QCOMPARE(s.box->text().size(), big.size() + 1);
    QVERIFY(s.box->text().endsWith(u'x'));
    QVERIFY(s.box->isShown(big.size() + 1));
    QVERIFY(s.box->isShown(big.size())); // the x itself is in view
    QTest::keyClick(s.box, Qt::Key_Home);
    QCOMPARE(s.box->firstShownPosition(), 0);
    QTest::keyClick(s.box, Qt::Key_End);
    QVERIFY(s.box->isShown(s.box->text().size()));
    s.box->grab(); // painting the end takes no whole-text layout either
    // Deleting back to a short text scrolls the box back to its start.
    s.box->setText(QStringLiteral("ABC"));
    QCOMPARE(s.box->firstShownPosition(), 0);
}

void tst_textbox::moveAndSelectByKeys() {
    ShownBox s;
    QVERIFY(s.show());
    s.box->setText(QStringLiteral("Nur Aisyah binti"));
    QTest::keyClick(s.box, Qt::Key_Home);
    QTest::keyClick(s.box, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(s.box->cursorPosition(), 4);
    QTest::keyClick(s.box, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(s.box->selectedText(), QStringLiteral("Aisyah binti"));
    QTest::keyClick(s.box, Qt::Key_Left); // ends the selection at its start
    QCOMPARE(s.box->cursorPosition(), 4);
    QVERIFY(!s.box->hasSelectedText());
    QTest::keyClick(s.box, Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(s.box->text(), QStringLiteral("Aisyah binti"));
}

void tst_textbox::lineBreaksStayInTheText() {
    ShownBox s;
    QVERIFY(s.show());
    QApplication::clipboard()->setText(QStringLiteral("ABC\nDEF"));
    QTest::keyClick(s.box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.box->text(), QStringLiteral("ABC\nDEF"));
    QVERIFY(s.box->isShown(7)); // shown on the one line
}

void tst_textbox::clickPlacesTheCaret() {
    ShownBox s;
    QVERIFY(s.show());
    s.box->setText(QStringLiteral("ABCDEF"));
    QTest::mouseClick(s.box, Qt::LeftButton, {}, QPoint(1, s.box->height() / 2));
    QCOMPARE(s.box->cursorPosition(), 0);
    QTest::mouseClick(s.box, Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(s.box->width() - 2, s.box->height() / 2));
    QCOMPARE(s.box->selectedText(), QStringLiteral("ABCDEF"));
    QTest::mouseDClick(s.box, Qt::LeftButton, {}, QPoint(1, s.box->height() / 2));
    QCOMPARE(s.box->selectedText(), QStringLiteral("ABCDEF"));
}

// A shortcut of the window on a key the box edits with does not take the key from the box.
void tst_textbox::keysBeforeWindowShortcuts() {
    ShownBox s;
    int fired = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Backspace), &s.window);
    connect(shortcut, &QShortcut::activated, [&fired] { ++fired; });
    auto* letter = new QShortcut(QKeySequence(Qt::Key_A), &s.window);
    connect(letter, &QShortcut::activated, [&fired] { ++fired; });
    QVERIFY(s.show());
    QTest::keyClicks(s.box, QStringLiteral("AB"));
    QTest::keyClick(s.box, Qt::Key_Backspace);
    QCOMPARE(s.box->text(), QStringLiteral("A"));
    QCOMPARE(fired, 0);
}

QTEST_MAIN(tst_textbox)
#include "tst_textbox.moc"
