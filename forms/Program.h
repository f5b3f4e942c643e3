// The program: its four windows registered with the frame, and its start.
#pragma once

#include <QString>

namespace kakeibo {

class Frame;

// Runs the program on its application directory until it ends, and returns
// its exit code. One copy runs per directory: a start while another copy
// runs brings that copy forward and returns 0 without touching any file.
int runProgram(const QString &applicationDirectory);

// Registers the windows, clears Module1's records and starts on the entry
// window. False when the program ended during start-up (the error has been
// reported); the exit code is then the frame's.
bool startProgram(Frame &frame);

} // namespace kakeibo
