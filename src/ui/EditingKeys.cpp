#include "EditingKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace convodesk::ui {

namespace {

struct Binding {
    QKeySequence::StandardKey sequence;
    EditingKey key;
    bool selecting;
};

constexpr Binding bindings[] = {
    {QKeySequence::SelectAll, EditingKey::SelectAll, false},
    {QKeySequence::MoveToPreviousChar, EditingKey::CharacterBack, false},
    {QKeySequence::SelectPreviousChar, EditingKey::CharacterBack, true},
    {QKeySequence::MoveToNextChar, EditingKey::CharacterOn, false},
    {QKeySequence::SelectNextChar, EditingKey::CharacterOn, true},
    {QKeySequence::MoveToPreviousWord, EditingKey::WordBack, false},
    {QKeySequence::SelectPreviousWord, EditingKey::WordBack, true},
    {QKeySequence::MoveToNextWord, EditingKey::WordOn, false},
    {QKeySequence::SelectNextWord, EditingKey::WordOn, true},
    {QKeySequence::MoveToStartOfLine, EditingKey::LineStart, false},
    {QKeySequence::SelectStartOfLine, EditingKey::LineStart, true},
    {QKeySequence::MoveToStartOfDocument, EditingKey::LineStart, false},
    {QKeySequence::SelectStartOfDocument, EditingKey::LineStart, true},
    {QKeySequence::MoveToEndOfLine, EditingKey::LineEnd, false},
    {QKeySequence::SelectEndOfLine, EditingKey::LineEnd, true},
    {QKeySequence::MoveToEndOfDocument, EditingKey::LineEnd, false},
    {QKeySequence::SelectEndOfDocument, EditingKey::LineEnd, true},
    {QKeySequence::Delete, EditingKey::DeleteOn, false},
    {QKeySequence::DeleteStartOfWord, EditingKey::DeleteWordBack, false},
    {QKeySequence::DeleteEndOfWord, EditingKey::DeleteWordOn, false},
    {QKeySequence::Copy, EditingKey::Copy, false},
    {QKeySequence::Cut, EditingKey::Cut, false},
    {QKeySequence::Paste, EditingKey::Paste, false},
};

} // namespace

EditingKeyPress editingKeyOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return {EditingKey::Return, false};
    // Backspace with or without Shift; the Home screen's own is posted without text.
    if (event.key() == Qt::Key_Backspace && !(event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return {EditingKey::DeleteBack, false};
    for (const Binding& binding : bindings)
        if (event.matches(binding.sequence))
            return {binding.key, binding.selecting};
    return {};
}

bool typesText(const QKeyEvent& event) {
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint() &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

} // namespace convodesk::ui
