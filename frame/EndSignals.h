// SIGTERM, SIGHUP and SIGINT end the program as "終了" does: every booking
// is already on disk, so ending is all there is to do, and it goes the
// normal way, so that what the program created (the socket of its "come
// forward" channel) is removed. The signal handler only writes a byte into
// a pipe; the event loop reads it and runs the end.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kakeibo {

class EndSignals : public QObject {
public:
    // end runs, from the event loop, when one of the signals arrives. One
    // object at a time; the signals get their default handling back when
    // it goes.
    explicit EndSignals(std::function<void()> end);
    ~EndSignals() override;

private:
    std::function<void()> m_end;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace kakeibo
