// The application frame: the run-time services every window relies on,
// each kept by a part with one job. The frame itself only knows the
// application directory and holds the parts together:
//  - windows():  the windows' life cycle and their controls (WindowRegistry)
//  - handlers(): running handlers, reporting errors, the end (HandlerRunner)
//  - writer():   the program's own writes into controls (ControlWriter)
//  - trace():    the steps of a run, for the tests (Trace)
//  - announcer(): the outcome of a command told to a screen reader (Announcer)
// and, for the whole application, a composed text committed once into its
// own field (Composition), Alt+key as a command (AltKeys) and a caret that
// stays on in a very long text (CaretBlink); what a screen reader
// is told a control is (AccessibleKinds) and the caret of a text box only
// with its focus (CaretEvents).
#pragma once

#include "ControlWriter.h"
#include "HandlerRunner.h"
#include "Trace.h"
#include "WindowRegistry.h"

#include <QString>

#include <memory>

namespace kakeibo {

class AltKeys;
class Announcer;
class CaretBlink;
class Composition;

class Frame {
public:
    // The frame of this run; the application directory holds the data files.
    explicit Frame(QString applicationDirectory);
    ~Frame();
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;

    static Frame &current();

    const QString &applicationDirectory() const { return m_appDir; }
    // The application directory followed by "/" and the file name, unchanged.
    QString appFile(const QString &fileName) const;

    WindowRegistry &windows() { return m_windows; }
    HandlerRunner &handlers() { return m_handlers; }
    ControlWriter &writer() { return m_writer; }
    Trace &trace() { return m_trace; }
    Announcer &announcer() { return *m_announcer; }

private:
    QString m_appDir;
    Trace m_trace;
    HandlerRunner m_handlers;
    WindowRegistry m_windows;
    ControlWriter m_writer;
    std::unique_ptr<Composition> m_composition;
    std::unique_ptr<AltKeys> m_altKeys;
    std::unique_ptr<CaretBlink> m_caretBlink;
    std::unique_ptr<Announcer> m_announcer;
};

} // namespace kakeibo
