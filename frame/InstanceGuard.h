// The program's side of the "come forward" channel (InstanceChannel),
// without making every start pay for Qt Network: the channel is reached
// (InstanceLoader) only when it is used, by a copy that found the book held
// by another (to ask it forward) or by the holder once its window is up (to
// serve). Without it the book's lock still keeps one writer per book; only
// the bringing forward is lost.
#pragma once

#include <QString>

#include <functional>

namespace kakeibo {

class InstanceGuard {
public:
    // identity: the book's identity (BookLock::identity).
    InstanceGuard(QString applicationDirectory, QString identity);

    // Asks the copy that holds the book to bring its window to the front;
    // false when no copy of this user answers (or the library is missing).
    bool askToComeForward();

    // Serves the channel for the book this copy holds; activate runs
    // whenever another copy asks this one to come forward, with the
    // activation token to come forward with (empty where there is none),
    // and answers whether it did.
    void listen(std::function<bool(const QString &token)> activate);

private:
    QString m_appDir;
    QString m_identity;
    std::function<bool(const QString &)> m_activate;
};

} // namespace kakeibo
