#include "CaretEvents.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace kakeibo::CaretEvents {
namespace {

QAccessible::UpdateHandler g_next = nullptr;
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

// Hands the event to whoever handled events before the filter: an earlier
// handler, or else Qt's own bridge to the screen reader, reached by
// stepping aside for the one event.
void passOn(QAccessibleEvent *event)
{
    if (g_next) {
        g_next(event);
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(filter);
}

} // namespace

void keepToFocus()
{
    static const bool installed = [] {
        g_next = QAccessible::installUpdateHandler(filter);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kakeibo::CaretEvents
