#include "Foreground.h"

#include <QWidget>

#include <windows.h>

namespace kakeibo::Foreground {

// The copy that asked has allowed this one the foreground
// (AllowSetForegroundWindow), so the window may take it; Windows has no
// activation tokens.
void bring(QWidget *window, const QString &)
{
    const auto handle = reinterpret_cast<HWND>(window->winId());
    if (IsIconic(handle))
        ShowWindow(handle, SW_RESTORE);
    window->showNormal();
    window->raise();
    SetForegroundWindow(handle);
    window->activateWindow();
}

} // namespace kakeibo::Foreground
