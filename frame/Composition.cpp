#include "Composition.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWindow>
#include <QWidget>

namespace kakeibo {
namespace {

// How long after a composition ends an input method's own second commit of
// it may still arrive; it comes over the input method's bus, in a few
// milliseconds on an idle desktop.
constexpr int kEchoMilliseconds = 2000;

bool isInside(const QObject *receiver, const QObject *field)
{
    for (const QObject *object = receiver; object; object = object->parent()) {
        if (object == field)
            return true;
    }
    return false;
}

QObject *windowOf(const QObject *field)
{
    const auto *widget = qobject_cast<const QWidget *>(field);
    return widget ? widget->window() : nullptr;
}

// Qt chooses its input method client by QT_IM_MODULE ("ibus", possibly
// followed by ":" and options).
bool usesIbusClient()
{
    const QString module = qEnvironmentVariable("QT_IM_MODULE").section(QLatin1Char(':'), 0, 0);
    return module.compare(QLatin1String("ibus"), Qt::CaseInsensitive) == 0;
}

void resetInputMethod()
{
    QGuiApplication::inputMethod()->reset();
}

} // namespace

Composition::Composition(QObject *application) : m_ibusClient(usesIbusClient())
{
    if (!application)
        return;
    application->installEventFilter(this);
    if (auto *gui = qobject_cast<QGuiApplication *>(application)) {
        connect(gui, &QGuiApplication::focusObjectChanged, this, [this](QObject *focus) {
            if (m_field && focus != m_field)
                finish();
        });
        connect(gui, &QGuiApplication::focusWindowChanged, this, [] {
            QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
        });
    }
}

void Composition::finish()
{
    if (!m_field)
        return;
    const QPointer<QObject> field = std::exchange(m_field, nullptr);
    const QString text = std::exchange(m_preedit, QString());
    m_echo = text;
    m_echoDeadline.setRemainingTime(kEchoMilliseconds);
    deliver(field, text);
    resetInputMethod();
}

void Composition::cancel()
{
    m_field = nullptr;
    m_preedit.clear();
    resetInputMethod();
}

void Composition::deliver(QObject *field, const QString &text)
{
    if (!field)
        return;
    QInputMethodEvent commit;
    commit.setCommitString(text);
    send(field, &commit);
}

void Composition::send(QObject *field, QInputMethodEvent *event)
{
    m_delivering = true;
    QCoreApplication::sendEvent(field, event);
    m_delivering = false;
}

// Collapses a held selection where the caret is, through the input method
// protocol every text field speaks.
void Composition::releaseSelection(QObject *field)
{
    QInputMethodQueryEvent query(Qt::ImCursorPosition | Qt::ImAnchorPosition);
    QCoreApplication::sendEvent(field, &query);
    const int cursor = query.value(Qt::ImCursorPosition).toInt();
    if (cursor == query.value(Qt::ImAnchorPosition).toInt())
        return;
    QInputMethodEvent collapse(QString(), {{QInputMethodEvent::Selection, cursor, 0}});
    send(field, &collapse);
}

bool Composition::eventFilter(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::InputMethod)
        return !m_delivering && takeInputMethodEvent(receiver, static_cast<QInputMethodEvent *>(event));
    if (m_field && endsComposition(receiver, event))
        finish();
    return false;
}

// Follows a composition through the input method's events; true when the
// event is not to be delivered where it was sent.
bool Composition::takeInputMethodEvent(QObject *receiver, QInputMethodEvent *event)
{
    const QString preedit = event->preeditString();
    const QString commit = event->commitString();
    if (m_ibusClient && event->replacementLength() > 0)
        releaseSelection(receiver);
    if (!preedit.isEmpty()) {
        // A composition shown in another field than its own: it is ended
        // in its own, and the input method, reset, composes nothing here.
        if (m_field && receiver != m_field) {
            finish();
            return true;
        }
        m_field = receiver;
        m_preedit = preedit;
        m_echo.clear();
        return false;
    }
    if (commit.isEmpty() && event->replacementLength() == 0) {
        // The preedit emptied without a commit: the input method took the
        // composition back.
        if (receiver == m_field)
            cancel();
        return false;
    }
    if (event->replacementLength() != 0) {
        if (receiver == m_field)
            m_field = nullptr;
        return false;
    }
    if (!m_field && commit == m_echo && !m_echoDeadline.hasExpired()) {
        m_echo.clear();
        return true;
    }
    const QPointer<QObject> field = std::exchange(m_field, nullptr);
    m_echo = commit == std::exchange(m_preedit, QString()) ? commit : QString();
    m_echoDeadline.setRemainingTime(kEchoMilliseconds);
    if (!field || field == receiver)
        return false;
    deliver(field, commit);
    return true;
}

bool Composition::endsComposition(QObject *receiver, const QEvent *event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return !isInside(receiver, m_field);
    case QEvent::KeyPress:
        return static_cast<const QKeyEvent *>(event)->key() == Qt::Key_Alt;
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
        return receiver == windowOf(m_field) || receiver == m_field;
    default:
        return false;
    }
}

} // namespace kakeibo
