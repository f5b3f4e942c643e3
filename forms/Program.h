// The program: its four windows registered with the frame, and its start.
#pragma once

#include <QString>

namespace kakeibo {

class Frame;

// Runs the program on its application directory until it ends, and returns
// its exit code. One copy holds a book at a time (BookLock): a start while
// another copy holds it brings that copy forward and returns 0, or, when it
// cannot be reached, tells the user and returns 1; either way without
// touching any file. SIGTERM, SIGHUP and SIGINT end it as "終了" does.
int runProgram(const QString &applicationDirectory);

// Registers the windows, clears Module1's records and starts on the entry
// window. False when the program ended during start-up (the error has been
// reported); the exit code is then the frame's.
bool startProgram(Frame &frame);

} // namespace kakeibo
