// A screen reader hears the caret and the selection of a text box only once
// it has been told that the box has the focus.
//
// A text box moves its caret and selection before Qt tells of the focus:
// while the program writes into it with the focus elsewhere (the fields of a
// window filled and selected before the window opens), and as the focus
// arrives (the amount box, emptied after a booking, takes the focus from
// "入力"). A screen reader takes such a move for the focus arriving, ahead
// of the real focus change or of the window that opens, which it then
// leaves unspoken. Those moves are kept from it; the box's text changes
// still reach it, and it reads caret and selection with the focus.
#pragma once

namespace kakeibo::CaretEvents {

// Installs the filter for the whole application, once.
void keepToFocus();

} // namespace kakeibo::CaretEvents
