#include "CaretEvents.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace kakeibo::CaretEvents {
namespace {

// The control the screen reader was last told has the focus.
QPointer<QObject> g_spokenFocus;

void passOn(QAccessibleEvent *event);

// Until the screen reader was told of any focus (it started after the
// program did), the control with the focus counts as told.
bool toldOfFocus(const QObject *control)
{
    return g_spokenFocus ? control == g_spokenFocus : control == QApplication::focusWidget();
}

void filter(QAccessibleEvent *event)
{
    const auto type = event->type();
    if (type == QAccessible::Focus)
        g_spokenFocus = event->object();
    const bool caret = type == QAccessible::TextCaretMoved || type == QAccessible::TextSelectionChanged;
    if (caret && !toldOfFocus(event->object()))
        return;
    passOn(event);
}

// Hands the event to Qt's own bridge to the screen reader, reached by
// stepping aside for the one event.
void passOn(QAccessibleEvent *event)
{
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(filter);
}

} // namespace

void keepToFocus()
{
    static const bool installed = [] {
        QAccessible::installUpdateHandler(filter);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kakeibo::CaretEvents
