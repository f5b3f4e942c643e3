#include "Announcer.h"

#include "AccessibleKinds.h"

#include <QApplication>

namespace kakeibo {
namespace {

QWidget *areaOf(QWidget *window)
{
    using AccessibleKinds::NotificationArea;
    if (auto *area = window->findChild<NotificationArea *>(QString(), Qt::FindDirectChildrenOnly))
        return area;
    auto *area = new NotificationArea(window);
    area->setObjectName(QStringLiteral("announcement"));
    area->setGeometry(0, 0, 0, 0);
    area->hide();
    return area;
}

} // namespace

Announcer::Announcer(QObject *parent) : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &Announcer::hideShown);
}

void Announcer::announce(QWidget *window, const QString &text)
{
    hideShown();
    QWidget *area = areaOf(window);
    area->setAccessibleName(text);
    area->show();
    m_shown = area;
}

void Announcer::hideShown()
{
    if (m_shown)
        m_shown->hide();
    m_shown = nullptr;
}

} // namespace kakeibo
