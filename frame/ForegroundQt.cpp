#include "Foreground.h"

#include <QGuiApplication>
#include <QWidget>

namespace kakeibo::Foreground {

void bring(QWidget *window, const QString &activationToken)
{
    // Qt's Wayland client activates with the token it finds here, once.
    if (!activationToken.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toLatin1());
    window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace kakeibo::Foreground
