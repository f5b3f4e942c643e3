// What screen readers are told of a text box: an editable text with its
// spoken name, its value (a very long one as far as captions show it,
// Captions::shownPart) and the text interface through which a reader asks
// for parts of the text, the caret and the selection.
#pragma once

namespace kakeibo {

class TextBox;

namespace TextBoxAccessible {

// Makes the text boxes known to the accessibility framework (once).
void install();

// Tells a screen reader, when one listens, that the caret moved and, with
// textChanged, that the text did.
void notify(TextBox *box, bool textChanged);

} // namespace TextBoxAccessible
} // namespace kakeibo
