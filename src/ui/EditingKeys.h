#pragma once

class QKeyEvent;

namespace convodesk::ui {

// What a key press asks of a one-line text box, by the platform's key bindings.
enum class EditingKey {
    None,
    Return,
    SelectAll,
    CharacterBack,
    CharacterOn,
    WordBack,
    WordOn,
    LineStart,
    LineEnd,
    DeleteBack,
    DeleteOn,
    DeleteWordBack,
    DeleteWordOn,
    Copy,
    Cut,
    Paste,
};

struct EditingKeyPress {
    EditingKey key = EditingKey::None;
    // A move that extends the selection (Shift held).
    bool selecting = false;
};

EditingKeyPress editingKeyOf(const QKeyEvent& event);

// Whether the press types its text: printable, without Ctrl or Meta.
bool typesText(const QKeyEvent& event);

} // namespace convodesk::ui
