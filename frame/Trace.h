// The steps of a run in the order they happened (window loads, shows and
// unloads, and the routines that record themselves), for the tests that
// check the order the program works in. Off unless a test turns it on.
#pragma once

#include <QString>
#include <QStringList>

namespace kakeibo {

class Trace {
public:
    void setEnabled(bool on) { m_enabled = on; }
    void add(const QString &step)
    {
        if (m_enabled)
            m_steps.append(step);
    }
    const QStringList &steps() const { return m_steps; }

private:
    QStringList m_steps;
    bool m_enabled = false;
};

} // namespace kakeibo
