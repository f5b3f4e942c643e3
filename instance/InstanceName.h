// Where the "come forward" channel of a book lives, named by a hash of the
// book's identity, one implementation per system: on POSIX systems a
// socket in the user's private runtime directory (XDG_RUNTIME_DIR, mode
// 0700, or the private directory Qt makes in its place), where another
// user can neither see nor place anything; on Windows a named pipe.
#pragma once

#include <QString>

namespace kakeibo::InstanceName {

// The channel's own name, the same on every system: "kakeibo-" and a hash
// of the identity.
QString baseName(const QString &identity);

// The channel's full name: on POSIX systems the socket's path, empty when
// the user has no usable runtime directory (the program then runs without
// the channel); on Windows the pipe's name.
QString forIdentity(const QString &identity);

} // namespace kakeibo::InstanceName
