#include "CaretBlink.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>

#include <utility>

namespace kakeibo {

CaretBlink::CaretBlink(QObject *application)
{
    auto *gui = qobject_cast<QGuiApplication *>(application);
    if (!gui)
        return;
    connect(gui, &QGuiApplication::focusObjectChanged, this, &CaretBlink::follow);
    follow(QGuiApplication::focusObject());
}

CaretBlink::~CaretBlink()
{
    m_field = nullptr;
    update();
}

void CaretBlink::follow(QObject *focus)
{
    if (m_field)
        disconnect(m_field, nullptr, this, nullptr);
    m_field = qobject_cast<QLineEdit *>(focus);
    if (m_field)
        connect(m_field, &QLineEdit::textChanged, this, &CaretBlink::update);
    update();
}

void CaretBlink::update()
{
    QStyleHints *hints = QGuiApplication::styleHints();
    const bool isLong = m_field && m_field->text().size() > kLongText;
    if (isLong && m_desktopFlashTime < 0) {
        m_desktopFlashTime = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!isLong && m_desktopFlashTime >= 0) {
        hints->setCursorFlashTime(std::exchange(m_desktopFlashTime, -1));
    }
}

} // namespace kakeibo
