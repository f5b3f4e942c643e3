// The token that lets one program bring another's window to the front.
//
// A Wayland desktop lets a client activate a window only with a token from
// the compositor (xdg-activation): a launcher hands one to the program it
// starts in XDG_ACTIVATION_TOKEN, and a client may ask for one itself. A
// second start passes its token to the copy that holds the book, which
// activates its window with it; a copy asked without one asks for its own,
// which a compositor takes at least as a request for attention. Elsewhere
// (X11, Windows) there are no tokens and both functions give none.
#pragma once

#include <QString>

namespace kakeibo::ActivationToken {

// The token this start was launched with, taken from the environment so that
// it is used once; else one asked of the compositor; else empty.
QString forThisStart();

// A token asked of the compositor; empty when there is none to ask or it did
// not answer within a second.
QString request();

// Whether a text may be passed on as a token: 1 to 255 visible ASCII
// characters, no space.
bool isWellFormed(const QString &token);

} // namespace kakeibo::ActivationToken
