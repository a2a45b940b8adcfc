#pragma once

#include <QString>
#include <utility>

namespace convodesk::ui {

// Caret steps in a text of any length: each looks only at the characters around the position,
// never at the whole text. Positions are indexes into `text`.
namespace TextBoundaries {

// The caret position one character (a whole cluster: a letter with its marks, a surrogate
// pair) before or after `position`.
qsizetype characterBefore(const QString& text, qsizetype position);
qsizetype characterAfter(const QString& text, qsizetype position);
// The start of the next word (forward) or of this or the previous one (backward).
qsizetype wordStart(const QString& text, qsizetype position, bool forward);
// The word (or run of blanks) around `position`, as [first, second).
std::pair<qsizetype, qsizetype> wordAround(const QString& text, qsizetype position);
// Where one character typed before `position` began: a surrogate pair counts as one.
qsizetype typedCharacterBefore(const QString& text, qsizetype position);

} // namespace TextBoundaries

} // namespace convodesk::ui
