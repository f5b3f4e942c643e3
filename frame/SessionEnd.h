// The end of the user's session, or the system's request to end, ends the
// program as "終了" does: every booking is already on disk, so ending is all
// there is to do, and it goes the normal way, so that what the program
// created (the socket of its "come forward" channel) is removed. One
// implementation per system: SessionEndPosix.cpp answers SIGTERM, SIGHUP
// and SIGINT (the handler only writes a byte into a pipe; the event loop
// reads it and runs the end); SessionEndWindows.cpp answers the end of the
// Windows session (WM_ENDSESSION), once Windows has asked (WM_QUERYENDSESSION).
#pragma once

#include <QObject>

#include <functional>

namespace kakeibo {

class SessionEnd : public QObject {
public:
    // end runs, from the event loop, when the session ends. One object at
    // a time; the system's default handling comes back when it goes.
    explicit SessionEnd(std::function<void()> end);
    ~SessionEnd() override;

private:
    struct Watch;
    std::function<void()> m_end;
    Watch *m_watch = nullptr;
};

} // namespace kakeibo
