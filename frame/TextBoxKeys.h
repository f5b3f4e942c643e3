// What a key pressed in a text box asks for, by the desktop's own key
// bindings (QKeySequence's standard keys): a movement of the caret, an
// edit, or text to type; and which keys a text box takes before any
// shortcut of its window would.
#pragma once

#include "EditBuffer.h"

#include <optional>

class QKeyEvent;

namespace kakeibo::TextBoxKeys {

enum class Edit {
    None,  // not the box's: Enter, Esc, the window's commands
    Undo, Redo, Cut, Copy, Paste, SelectAll,
    DeleteForward, DeleteWordBack, DeleteWordForward, DeleteLine, Backspace,
    Type,  // the key's text is typed
};

// Where the caret goes, and whether the selection stretches to it.
struct Move {
    qsizetype to;
    bool select;
};

// The movement a key asks for in this buffer; nothing for any other key.
std::optional<Move> moveFor(const QKeyEvent *event, const EditBuffer &buffer);

// The edit a key asks for.
Edit editFor(const QKeyEvent *event);

// Where a deletion (DeleteForward ... Backspace) ends, from the caret:
// a whole character forward, a code point back (so that a mark typed
// after a letter can be taken back alone), or a word either way.
qsizetype deletionEnd(Edit edit, const EditBuffer &buffer);

bool overridesShortcut(const QKeyEvent *event);

} // namespace kakeibo::TextBoxKeys
