#include "TextBox.h"

#include "EditingKeys.h"
#include "TextBoundaries.h"
#include "VisibleTextLine.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace convodesk::ui {

namespace {

constexpr int horizontalMargin = 2;
constexpr int verticalMargin = 1;
// What an input method is told of the text around the caret, each way.
constexpr qsizetype surroundingLength = 256;

QStyleOptionFrame frameOption(const QWidget& box) {
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.rect = box.contentsRect();
    option.lineWidth = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    return option;
}

} // namespace

TextBox::TextBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression, false);
    setBackgroundRole(QPalette::Base);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

TextBox::~TextBox() = default;

void TextBox::setText(const QString& text) {
    if (text == text_ && !text.isNull())
        return;
    if (text.isEmpty() && text_.isEmpty())
        return;
    text_ = text;
    cursor_ = anchor_ = text_.size();
    viewStart_ = std::min(viewStart_, text_.size());
    keepCursorShown();
    update();
    emit textChanged(text_);
}

void TextBox::setCursorPosition(qsizetype position) {
    moveCursor(std::clamp<qsizetype>(position, 0, text_.size()), false);
}

QString TextBox::selectedText() const {
    const qsizetype from = std::min(cursor_, anchor_);
    const qsizetype to = std::max(cursor_, anchor_);
    return text_.mid(from, to - from);
}

void TextBox::selectAll() {
    anchor_ = 0;
    cursor_ = text_.size();
    keepCursorShown();
    update();
}

void TextBox::deselect() {
    if (!hasSelectedText())
        return;
    anchor_ = cursor_;
    update();
}

void TextBox::insert(const QString& text) {
    const qsizetype from = std::min(cursor_, anchor_);
    const qsizetype to = std::max(cursor_, anchor_);
    if (text.isEmpty() && from == to)
        return;
    replaceRange(from, to, text);
}

bool TextBox::isShown(qsizetype position) const {
    return shownLine().shows(position);
}

void TextBox::copy() const {
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextBox::cut() {
    if (!hasSelectedText())
        return;
    copy();
    removeSelection();
}

void TextBox::paste() {
    insert(QGuiApplication::clipboard()->text());
}

QRect TextBox::textArea() const {
    const QStyleOptionFrame option = frameOption(*this);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
}

VisibleTextLine TextBox::shownLine() const {
    // One pixel is kept for the caret after the last character.
    return VisibleTextLine(text_, viewStart_, font(), textArea().width() - 1);
}

qsizetype TextBox::positionAtX(int x) const {
    const QRect area = textArea();
    const VisibleTextLine line = shownLine();
    if (x < area.left())
        return TextBoundaries::characterBefore(text_, viewStart_);
    const qsizetype position = line.positionAt(x - area.left());
    if (x > area.right() && position < text_.size())
        return TextBoundaries::characterAfter(text_, position);
    return position;
}

void TextBox::moveCursor(qsizetype position, bool keepAnchor) {
    cursor_ = position;
    if (!keepAnchor)
        anchor_ = position;
    keepCursorShown();
    restartBlinking();
    update();
}

void TextBox::replaceRange(qsizetype from, qsizetype to, const QString& replacement) {
    text_.replace(from, to - from, replacement);
    cursor_ = anchor_ = from + replacement.size();
    viewStart_ = std::min(viewStart_, text_.size());
    keepCursorShown();
    restartBlinking();
    update();
    // Last: a handler of the signal may process events (and so more keys) before it returns.
    emit textChanged(text_);
}

void TextBox::removeSelection() {
    const qsizetype from = std::min(cursor_, anchor_);
    const qsizetype to = std::max(cursor_, anchor_);
    if (from != to)
        replaceRange(from, to, QString());
}

void TextBox::keepCursorShown() {
    const double width = textArea().width() - 1;
    if (cursor_ < viewStart_) {
        viewStart_ = cursor_;
    } else if (!VisibleTextLine(text_, viewStart_, font(), width).shows(cursor_)) {
        viewStart_ = VisibleTextLine::startShowingEndAt(text_, cursor_, font(), width);
    }
    if (viewStart_ > 0)
        viewStart_ =
            std::min(viewStart_, VisibleTextLine::startShowingEndAt(text_, text_.size(), font(), width));
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const EditingKeyPress press = editingKeyOf(*event);
    const qsizetype from = std::min(cursor_, anchor_);
    const qsizetype to = std::max(cursor_, anchor_);
    const bool selected = from != to;
    switch (press.key) {
    case EditingKey::Return:
        emit returnPressed();
        event->ignore(); // a dialog's default button still sees it
        return;
    case EditingKey::SelectAll:
        selectAll();
        return;
    case EditingKey::CharacterBack:
        // Without Shift an arrow ends a selection at its side.
        moveCursor(selected && !press.selecting ? from : TextBoundaries::characterBefore(text_, cursor_),
                   press.selecting);
        return;
    case EditingKey::CharacterOn:
        moveCursor(selected && !press.selecting ? to : TextBoundaries::characterAfter(text_, cursor_),
                   press.selecting);
        return;
    case EditingKey::WordBack:
    case EditingKey::WordOn:
        moveCursor(TextBoundaries::wordStart(text_, cursor_, press.key == EditingKey::WordOn),
                   press.selecting);
        return;
    case EditingKey::LineStart:
        moveCursor(0, press.selecting);
        return;
    case EditingKey::LineEnd:
        moveCursor(text_.size(), press.selecting);
        return;
    case EditingKey::DeleteBack:
        // One character back, as typed (a letter's marks one by one).
        if (selected)
            removeSelection();
        else if (cursor_ > 0)
            replaceRange(TextBoundaries::typedCharacterBefore(text_, cursor_), cursor_, QString());
        return;
    case EditingKey::DeleteOn:
        if (selected)
            removeSelection();
        else if (cursor_ < text_.size())
            replaceRange(cursor_, TextBoundaries::characterAfter(text_, cursor_), QString());
        return;
    case EditingKey::DeleteWordBack:
    case EditingKey::DeleteWordOn:
        if (selected) {
            removeSelection();
        } else {
            const qsizetype other =
                TextBoundaries::wordStart(text_, cursor_, press.key == EditingKey::DeleteWordOn);
            replaceRange(std::min(cursor_, other), std::max(cursor_, other), QString());
        }
        return;
    case EditingKey::Copy:
        copy();
        return;
    case EditingKey::Cut:
        cut();
        return;
    case EditingKey::Paste:
        paste();
        return;
    case EditingKey::None:
        break;
    }
    if (typesText(*event))
        insert(event->text());
    else
        event->ignore();
}

bool TextBox::event(QEvent* event) {
    // The box's own keys come to it before any shortcut of the window takes them (an Alt
    // key stays a menu's).
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const EditingKey editing = editingKeyOf(*key).key;
        if ((editing != EditingKey::None && editing != EditingKey::Return) ||
            (typesText(*key) && !(key->modifiers() & Qt::AltModifier))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (event->replacementLength() > 0) {
        const qsizetype from = std::clamp<qsizetype>(cursor_ + event->replacementStart(), 0, text_.size());
        const qsizetype to = std::min(text_.size(), from + event->replacementLength());
        replaceRange(from, to, commit);
    } else if (!commit.isEmpty()) {
        insert(commit);
    }
    event->accept();
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    const qsizetype around = std::max<qsizetype>(0, cursor_ - surroundingLength);
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle: {
        const QRect area = textArea();
        const double x = area.left() + shownLine().xOf(cursor_);
        return QRectF(x, area.top(), 1, area.height()).toAlignedRect();
    }
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return static_cast<int>(cursor_ - around);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp(anchor_, around, around + 2 * surroundingLength) - around);
    case Qt::ImSurroundingText:
        return text_.mid(around, 2 * surroundingLength);
    case Qt::ImCurrentSelection:
        return selectedText();
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void TextBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QStyleOptionFrame option = frameOption(*this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    const QRect area = textArea();
    painter.setClipRect(area);
    const VisibleTextLine line = shownLine();
    const QFontMetricsF metrics(font());
    const QPointF origin(area.left(), area.top() + (area.height() - metrics.height() + 1) / 2.0);
    const QPalette& colours = palette();
    painter.setPen(colours.color(QPalette::Text));
    const qsizetype from = std::min(cursor_, anchor_);
    const qsizetype to = std::max(cursor_, anchor_);
    line.draw(painter, origin, from, to, colours.color(QPalette::Highlight),
              colours.color(QPalette::HighlightedText));
    if (hasFocus() && caretVisible_ && line.shows(cursor_))
        painter.fillRect(QRectF(origin.x() + line.xOf(cursor_), origin.y(), 1, metrics.height()),
                         colours.color(QPalette::Text));
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        moveCursor(positionAtX(event->position().toPoint().x()), event->modifiers() & Qt::ShiftModifier);
    } else if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        moveCursor(positionAtX(event->position().toPoint().x()), false);
        insert(QGuiApplication::clipboard()->text(QClipboard::Selection));
    }
}

void TextBox::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    moveCursor(positionAtX(event->position().toPoint().x()), true);
    if (hasSelectedText() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const auto [first, end] = TextBoundaries::wordAround(text_, positionAtX(event->position().toPoint().x()));
    anchor_ = first;
    moveCursor(end, true);
}

void TextBox::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason) &&
        !hasSelectedText())
        selectAll();
    restartBlinking();
    update();
    QWidget::focusInEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        deselect();
    blink_.stop();
    update();
    QWidget::focusOutEvent(event);
}

void TextBox::restartBlinking() {
    caretVisible_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash >= 2)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
}

void TextBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    caretVisible_ = !caretVisible_;
    update(textArea());
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* cutAction = menu.addAction(tr("Cu&t"), this, [this] { cut(); });
    QAction* copyAction = menu.addAction(tr("&Copy"), this, [this] { copy(); });
    QAction* pasteAction = menu.addAction(tr("&Paste"), this, [this] { paste(); });
    QAction* deleteAction = menu.addAction(tr("Delete"), this, [this] { removeSelection(); });
    menu.addSeparator();
    QAction* selectAllAction = menu.addAction(tr("Select All"), this, [this] { selectAll(); });
    cutAction->setEnabled(hasSelectedText());
    copyAction->setEnabled(hasSelectedText());
    deleteAction->setEnabled(hasSelectedText());
    pasteAction->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    selectAllAction->setEnabled(!text_.isEmpty());
    menu.exec(event->globalPos());
}

void TextBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        keepCursorShown();
        update();
    }
    QWidget::changeEvent(event);
}

void TextBox::resizeEvent(QResizeEvent* event) {
    keepCursorShown();
    QWidget::resizeEvent(event);
}

QSize TextBox::sizeHint() const {
    const QFontMetrics metrics(font());
    const QSize contents(metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * horizontalMargin,
                         metrics.height() + 2 * verticalMargin);
    QStyleOptionFrame option = frameOption(*this);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this);
}

QSize TextBox::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    QStyleOptionFrame option = frameOption(*this);
    return style()->sizeFromContents(
        QStyle::CT_LineEdit, &option,
        QSize(metrics.maxWidth() + 2 * horizontalMargin, metrics.height() + 2 * verticalMargin), this);
}

} // namespace convodesk::ui
