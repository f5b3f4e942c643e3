// The name of the local socket that keeps one copy of the program per
// application directory, shared by the guard and its loader.
#pragma once

#include <QString>

namespace kakeibo::InstanceName {

// Derived from the canonical path of the application directory: on Unix a
// socket path in the system's temporary directory (never in the application
// directory), on Windows a pipe name.
QString forDirectory(const QString &applicationDirectory);

// Whether a copy may be listening on that name: on Unix its socket file
// exists (a running copy, or one that was killed); on Windows it cannot be
// told without asking, so always.
bool mayBeListening(const QString &name);

} // namespace kakeibo::InstanceName
