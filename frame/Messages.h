// Every text the program shows the user, in Japanese, in one place: the
// report of an error that ends the program and the refusals it recovers
// from. Nothing here shows anything; HandlerRunner does. A user's text in a
// message (a category name, a text that is no amount) shows as much of it as
// a caption does (Captions::shownPart), so that every message is laid out
// at once, whatever the names.
#pragma once

#include "Error.h"

#include <QString>

namespace kakeibo::Messages {

// The title of every message window.
extern const QString kTitle;

// The report of an error that ends the program: what failed, the file or
// folder and the system's reason, and that the program now ends.
QString describe(const Error &error);

// A booking refused because the category's total would leave the range.
QString bookingPastRange(const QString &category, const QString &total, const QString &amount);

// A renaming refused because name number slot + 1 holds a character that
// "Item.dat" cannot store.
QString unstorableName(int slot, const QString &character);

} // namespace kakeibo::Messages
