#include "AltKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace kakeibo {
namespace {

bool isAltCharacter(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers held = key->modifiers();
    return (held & Qt::AltModifier) && !(held & Qt::ControlModifier) && !key->text().isEmpty()
           && key->text().front().isPrint();
}

bool takesText(QObject *receiver)
{
    const auto *widget = qobject_cast<QWidget *>(receiver);
    return widget && widget->testAttribute(Qt::WA_InputMethodEnabled);
}

} // namespace

AltKeys::AltKeys(QObject *application)
{
    if (application)
        application->installEventFilter(this);
}

bool AltKeys::eventFilter(QObject *receiver, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (!isAltCharacter(key))
        return false;
    if (key->isAutoRepeat()) {
        // Accepting the override keeps the repeat from any shortcut; the
        // key press that follows is then dropped here.
        key->accept();
        return true;
    }
    return type == QEvent::KeyPress && takesText(receiver);
}

} // namespace kakeibo
