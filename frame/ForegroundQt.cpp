#include "Foreground.h"

#include <QWidget>

namespace kakeibo::Foreground {

void bring(QWidget *window)
{
    window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace kakeibo::Foreground
