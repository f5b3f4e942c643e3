#include "StyleRoom.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace kakeibo::StyleRoom {
namespace {

// The least height at which the style draws a text box's frame around a
// line of its text: the line and the frame on either side.
int leastHeight(const QLineEdit *box)
{
    QStyleOption option;
    option.initFrom(box);
    return box->fontMetrics().height() + 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
}

int topIn(const QWidget *window, const QWidget *widget)
{
    return widget->mapTo(window, QPoint(0, 0)).y();
}

// A control grew by `delta` below `line` (in the window's coordinates):
// what stands below the line moves down with it, and what holds the control
// grows.
void pushDown(QWidget *window, QWidget *control, int line, int delta)
{
    for (QWidget *holder = control->parentWidget(); holder; holder = holder->parentWidget()) {
        for (QWidget *sibling : holder->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!sibling->isWindow() && !sibling->isAncestorOf(control) && sibling != control
                && topIn(window, sibling) >= line)
                sibling->move(sibling->x(), sibling->y() + delta);
        }
        if (holder == window)
            break;
        holder->resize(holder->width(), holder->height() + delta);
    }
}

// Text boxes from the top: each one lower than the style needs grows.
int growTextBoxes(QWidget *window)
{
    QList<QLineEdit *> boxes = window->findChildren<QLineEdit *>();
    std::sort(boxes.begin(), boxes.end(),
              [window](const QWidget *a, const QWidget *b) { return topIn(window, a) < topIn(window, b); });
    int grown = 0;
    for (QLineEdit *box : std::as_const(boxes)) {
        const int delta = leastHeight(box) - box->height();
        if (delta <= 0)
            continue;
        const int line = topIn(window, box) + box->height();
        box->resize(box->width(), box->height() + delta);
        pushDown(window, box, line, delta);
        grown += delta;
    }
    return grown;
}

// A menu bar shows every command when it is as wide as the style asks.
int widenForMenu(QWidget *window)
{
    auto *bar = window->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly);
    if (!bar)
        return 0;
    const int delta = std::max(0, bar->sizeHint().width() - window->width());
    bar->resize(bar->width() + delta, bar->height());
    return delta;
}

} // namespace

void make(QWidget *window)
{
    const int taller = growTextBoxes(window);
    const int wider = widenForMenu(window);
    if (taller == 0 && wider == 0)
        return;
    window->setFixedSize(window->width() + wider, window->height() + taller);
}

} // namespace kakeibo::StyleRoom
