#include "TextBoundaries.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>

namespace convodesk::ui::TextBoundaries {

namespace {

// How far around the caret a step looks.
constexpr qsizetype window = 256;

} // namespace

qsizetype characterBefore(const QString& text, qsizetype position) {
    if (position <= 0)
        return 0;
    const qsizetype from = std::max<qsizetype>(0, position - window);
    const QTextLayout layout(text.mid(from, position - from));
    return from + layout.previousCursorPosition(static_cast<int>(position - from));
}

qsizetype characterAfter(const QString& text, qsizetype position) {
    if (position >= text.size())
        return text.size();
    const qsizetype to = std::min(text.size(), position + window);
    const QTextLayout layout(text.mid(position, to - position));
    return position + layout.nextCursorPosition(0);
}

qsizetype wordStart(const QString& text, qsizetype position, bool forward) {
    const qsizetype from = std::max<qsizetype>(0, position - window);
    const qsizetype to = std::min(text.size(), position + window);
    const QTextLayout layout(text.mid(from, to - from));
    const int at = static_cast<int>(position - from);
    return from + (forward ? layout.nextCursorPosition(at, QTextLayout::SkipWords)
                           : layout.previousCursorPosition(at, QTextLayout::SkipWords));
}

std::pair<qsizetype, qsizetype> wordAround(const QString& text, qsizetype position) {
    const qsizetype from = std::max<qsizetype>(0, position - window);
    const qsizetype to = std::min(text.size(), position + window);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text.mid(from, to - from));
    const qsizetype at = position - from;
    words.setPosition(at);
    qsizetype first = at;
    if (!(words.isAtBoundary() && words.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem)))
        first = std::max<qsizetype>(0, words.toPreviousBoundary());
    words.setPosition(at);
    const qsizetype next = words.toNextBoundary();
    return {from + first, from + (next < 0 ? to - from : next)};
}

qsizetype typedCharacterBefore(const QString& text, qsizetype position) {
    if (position <= 0)
        return 0;
    qsizetype from = position - 1;
    if (from > 0 && text[from].isLowSurrogate() && text[from - 1].isHighSurrogate())
        --from;
    return from;
}

} // namespace convodesk::ui::TextBoundaries
