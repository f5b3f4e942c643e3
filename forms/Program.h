// The program: its four windows registered with the frame, and its start.
#pragma once

namespace kakeibo {

class Frame;

// Registers the windows, clears Module1's records and starts on the entry
// window. False when the program ended during start-up (the error has been
// reported); the exit code is then the frame's.
bool startProgram(Frame &frame);

} // namespace kakeibo
