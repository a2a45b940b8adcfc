#pragma once

#include <QBasicTimer>
#include <QWidget>

class QMenu;

namespace convodesk::ui {

class VisibleTextLine;

// A one-line text box for texts of any length: it lays out only the part it shows, so a key
// costs the same in a box holding a megabyte as in an empty one, and the end of a long text
// is shown as it is. It edits as the platform's line edit does (typing, Backspace and Delete,
// arrows and Home/End with Shift selecting and Ctrl by words, the clipboard keys, mouse
// selection, a context menu; Tab into the box selects its text), without undo.
class TextBox : public QWidget {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    ~TextBox() override;

    QString text() const { return text_; }
    // Replaces the text; the caret goes to its end.
    void setText(const QString& text);
    void clear() { setText(QString()); }

    qsizetype cursorPosition() const { return cursor_; }
    void setCursorPosition(qsizetype position);
    bool hasSelectedText() const { return cursor_ != anchor_; }
    QString selectedText() const;
    void selectAll();
    void deselect();
    // Replaces the selection (or inserts at the caret) with `text`, as typing it would.
    void insert(const QString& text);

    // The first character shown at the left edge.
    qsizetype firstShownPosition() const { return viewStart_; }
    // Whether the caret at `position` is inside the visible part of the box.
    bool isShown(qsizetype position) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void copy() const;
    void cut();
    void paste();

signals:
    // Every change of the text, typed or set.
    void textChanged(const QString& text);
    void returnPressed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const;
    VisibleTextLine shownLine() const;
    qsizetype positionAtX(int x) const;
    // Moves the caret; with `keepAnchor` the selection runs from the anchor to it.
    void moveCursor(qsizetype position, bool keepAnchor);
    void replaceRange(qsizetype from, qsizetype to, const QString& replacement);
    void removeSelection();
    // Scrolls so that the caret is inside the box, and no room is left empty at the right
    // while text lies hidden at the left.
    void keepCursorShown();
    void restartBlinking();

    QString text_;
    qsizetype cursor_ = 0;
    qsizetype anchor_ = 0;
    qsizetype viewStart_ = 0;
    bool caretVisible_ = false;
    QBasicTimer blink_;
};

} // namespace convodesk::ui
