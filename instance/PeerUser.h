// Whether the process at the other end of the channel runs as this user,
// one implementation per system: PeerUserPosix.cpp asks the kernel for the
// peer's credentials on the socket; PeerUserWindows.cpp compares the user
// of the named pipe's other process with this one. Asked on both ends, so
// that a channel another user squats neither hears a request nor answers.
#pragma once

#include <QtGlobal>

namespace kakeibo::PeerUser {

// descriptor: a connected local socket's descriptor (the pipe's handle on
// Windows); isServer: whether this end is the one that listens.
bool isThisUser(qintptr descriptor, bool isServer);

// Lets the listener at the other end of a connected channel bring its
// window to the front (Windows gives the foreground only to a process the
// one in front allows; elsewhere there is nothing to allow).
void allowToComeForward(qintptr descriptor);

} // namespace kakeibo::PeerUser
