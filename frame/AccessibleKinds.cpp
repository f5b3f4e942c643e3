#include "AccessibleKinds.h"

#include <QAccessibleWidget>

namespace kakeibo::AccessibleKinds {
namespace {

// Never shown, as far as a screen reader knows.
class Decoration : public QAccessibleWidget {
public:
    explicit Decoration(QWidget *rule) : QAccessibleWidget(rule, QAccessible::Separator) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    if (className == QLatin1String(Rule::staticMetaObject.className()))
        return new Decoration(static_cast<Rule *>(object));
    if (className == QLatin1String(NotificationArea::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kakeibo::AccessibleKinds
