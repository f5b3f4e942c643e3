// Keeps one copy of the program per application directory, without making
// every start pay for Qt Network: the guard (SingleInstance, in the library
// kakeibo_instance beside the program) is loaded before the window only
// when another copy may be running, and otherwise once the window is up.
#pragma once

#include <QString>

#include <functional>

namespace kakeibo {

class InstanceGuard {
public:
    // activate runs whenever a later copy asks this one to come forward.
    InstanceGuard(QString applicationDirectory, std::function<void()> activate);

    // Whether another copy may run on the directory and must be asked first.
    bool mustAskFirst() const;

    // Loads the guard and claims the directory: true when this is the only
    // copy (or the guard library is missing: the book is never locked
    // away), false when another copy runs and has been asked to come
    // forward. Claims once; later calls repeat the answer.
    bool claim();
    bool claimed() const { return m_claimed; }

private:
    QString m_appDir;
    std::function<void()> m_activate;
    bool m_claimed = false;
};

} // namespace kakeibo
