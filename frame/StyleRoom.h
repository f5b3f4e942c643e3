// The designed geometry is the least a window gets, never a cut.
//
// Every window is laid out in twips, as it was designed. Some styles need
// more room than the design gives: Adwaita's menu items are wider than the
// entry window (a command would go behind the menu bar's overflow arrow),
// and it draws a text box lower than its text and frame without the frame.
// Once a window is built, the window and such a control grow by exactly
// what the style asks, and whatever stood below the control moves down with
// it; under a style where the design fits (Fusion, Windows) nothing moves.
#pragma once

class QWidget;

namespace kakeibo::StyleRoom {

// Grows the window and its controls where the style in use needs more
// room than their design gives.
void make(QWidget *window);

} // namespace kakeibo::StyleRoom
