// The entry points of the "come forward" channel, shared by the library
// kakeibo_instance that serves them and the loader (InstanceGuard) that
// resolves them at run time.
//
// The channel only brings a running copy's window to the front: which copy
// owns a book is decided by the book's lock (BookLock), never by the
// channel. A channel is named by the book's identity (BookLock::identity),
// so every path to the same directory meets the same channel.
#pragma once

#include <QString>

namespace kakeibo::InstanceChannel {

// Serves the channel of the book this copy holds; activate(context, token)
// runs whenever another copy of the same user asks this one to come forward,
// with the activation token to bring the window forward with (empty where
// the desktop has none), and answers whether this copy came forward (one
// that is ending does not; the asker is then not told that it did). False
// when the channel cannot be offered (the program runs on without).
using ListenFunction = bool (*)(const QString &identity, bool (*activate)(void *, const QString &), void *context);
inline constexpr char kListenSymbol[] = "kakeibo_listen_for_activation";

// Asks the copy that holds the book to come forward, passing on the token
// this start was launched with (or one it obtained); true once a copy of
// the same user has taken the request, false when none answers in time.
using AskFunction = bool (*)(const QString &identity);
inline constexpr char kAskSymbol[] = "kakeibo_ask_to_come_forward";

} // namespace kakeibo::InstanceChannel

// The entry points themselves, for a program that links the channel in.
extern "C" bool kakeibo_listen_for_activation(const QString &identity, bool (*activate)(void *, const QString &),
                                              void *context);
extern "C" bool kakeibo_ask_to_come_forward(const QString &identity);
