// Brings a window of this program to the front, restored if it was
// minimised, as each system allows it: ForegroundQt.cpp through Qt alone
// (X11 and Wayland, where the window manager or the compositor decides,
// Wayland's with the activation token the asking start passed on);
// ForegroundWindows.cpp through the window's own handle, since Qt on
// Windows does not learn of every minimising and would leave the window
// in the taskbar.
#pragma once

#include <QString>

class QWidget;

namespace kakeibo::Foreground {

void bring(QWidget *window, const QString &activationToken);

} // namespace kakeibo::Foreground
