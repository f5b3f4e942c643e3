#include "SessionEnd.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>

#include <windows.h>

namespace kakeibo {

// Windows asks every window whether the session may end (the answer is
// yes: nothing is left unsaved), then tells them it ends; the end runs
// while Windows waits for that message to be answered, since the process
// may be gone once it is.
struct SessionEnd::Watch : QAbstractNativeEventFilter {
    explicit Watch(SessionEnd *owner) : owner(owner) {}

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *result) override
    {
        if (type != "windows_generic_MSG")
            return false;
        const auto *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_QUERYENDSESSION) {
            *result = TRUE;
            return true;
        }
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            owner->m_end();
            *result = 0;
            return true;
        }
        return false;
    }

    SessionEnd *owner;
};

SessionEnd::SessionEnd(std::function<void()> end) : m_end(std::move(end)), m_watch(new Watch(this))
{
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->installNativeEventFilter(m_watch);
}

SessionEnd::~SessionEnd()
{
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->removeNativeEventFilter(m_watch);
    delete m_watch;
}

} // namespace kakeibo
