#include "VisibleTextLine.h"

#include <QPainter>
#include <QTextLine>
#include <algorithm>

namespace convodesk::ui {

namespace {

// Never cut a surrogate pair: moves `position` off its second half.
qsizetype wholeCharacterBoundary(const QString& text, qsizetype position) {
    if (position > 0 && position < text.size() && text[position].isLowSurrogate() &&
        text[position - 1].isHighSurrogate())
        return position + 1;
    return position;
}

// The characters from `from` to `to` as a box shows them: line breaks as blanks (a one-line
// layout would end at them), the length unchanged so that positions still match.
QString shownPart(const QString& text, qsizetype from, qsizetype to) {
    QString part = text.mid(from, to - from);
    for (QChar& c : part)
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return part;
}

void layOutOneLine(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setPosition(QPointF(0, 0));
    layout.endLayout();
}

} // namespace

qsizetype VisibleTextLine::span(double width) {
    // Four characters a pixel is more than any font puts side by side; the rest is for marks
    // that take no room of their own.
    return static_cast<qsizetype>(std::max(0.0, width)) * 4 + 64;
}

VisibleTextLine::VisibleTextLine(const QString& text, qsizetype start, const QFont& font, double width)
    : start_(std::clamp<qsizetype>(start, 0, text.size())), width_(width) {
    end_ = wholeCharacterBoundary(text, std::min(text.size(), start_ + span(width)));
    layout_.setText(shownPart(text, start_, end_));
    layout_.setFont(font);
    layOutOneLine(layout_);
}

double VisibleTextLine::xOf(qsizetype position) const {
    const QTextLine line = layout_.lineAt(0);
    if (!line.isValid())
        return 0;
    return line.cursorToX(static_cast<int>(std::clamp(position, start_, end_) - start_));
}

qsizetype VisibleTextLine::positionAt(double x) const {
    const QTextLine line = layout_.lineAt(0);
    if (!line.isValid())
        return start_;
    return start_ + line.xToCursor(x, QTextLine::CursorBetweenCharacters);
}

bool VisibleTextLine::shows(qsizetype position) const {
    return position >= start_ && position <= end_ && xOf(position) <= width_;
}

qsizetype VisibleTextLine::nextPosition(qsizetype position) const {
    return start_ + layout_.nextCursorPosition(static_cast<int>(std::clamp(position, start_, end_) - start_));
}

qsizetype VisibleTextLine::previousPosition(qsizetype position) const {
    return start_ +
           layout_.previousCursorPosition(static_cast<int>(std::clamp(position, start_, end_) - start_));
}

void VisibleTextLine::draw(QPainter& painter, const QPointF& origin, qsizetype selectionStart,
                           qsizetype selectionEnd, const QColor& highlight,
                           const QColor& highlightedText) const {
    QList<QTextLayout::FormatRange> selections;
    const qsizetype from = std::max(selectionStart, start_);
    const qsizetype to = std::min(selectionEnd, end_);
    if (from < to) {
        QTextLayout::FormatRange range;
        range.start = static_cast<int>(from - start_);
        range.length = static_cast<int>(to - from);
        range.format.setBackground(highlight);
        range.format.setForeground(highlightedText);
        selections.append(range);
    }
    layout_.draw(&painter, origin, selections);
}

qsizetype VisibleTextLine::startShowingEndAt(const QString& text, qsizetype position, const QFont& font,
                                             double width) {
    position = std::clamp<qsizetype>(position, 0, text.size());
    const qsizetype from = wholeCharacterBoundary(text, std::max<qsizetype>(0, position - span(width)));
    QTextLayout layout(shownPart(text, from, position), font);
    layOutOneLine(layout);
    const QTextLine line = layout.lineAt(0);
    if (!line.isValid())
        return from;
    const double overflow = line.cursorToX(static_cast<int>(position - from)) - width;
    if (overflow <= 0)
        return from;
    int first = line.xToCursor(overflow, QTextLine::CursorBetweenCharacters);
    while (first < position - from && line.cursorToX(first) < overflow)
        first = layout.nextCursorPosition(first);
    return from + first;
}

} // namespace convodesk::ui
