// The handler runner: every event handler runs inside run(), the one place
// where an error that no handler traps is reported (and ends the program)
// and where a refusal is shown (and the program goes on). It also ends the
// program.
//
// The assignment rule: an exception never crosses Qt's event loop. While
// the program's own code assigns to a control (an Assignment is alive), a
// handler raised by that assignment (a text set from code raises its change
// event) keeps its error for the assigning code, which raises it again, so
// that an error travels up the chain of routines exactly as if the nested
// handler had been called directly. A nested event loop (a modal window, a
// message) delivers the user's own input, whose handlers are outermost.
//
// Two seams serve the tests: the message hook receives every message the
// user would see, and the end hook observes the end of the program.
#pragma once

#include "Error.h"

#include <QString>

#include <exception>
#include <functional>

namespace kakeibo {

class Trace;

// What the user is told: a refusal (the program goes on) or an untrapped
// error (the program ends after the message).
struct UserMessage {
    enum class Severity { Warning, Fatal };
    Severity severity;
    QString text;
};

class HandlerRunner {
public:
    using MessageHook = std::function<void(const UserMessage &)>;
    using EndHook = std::function<void(int exitCode)>;

    explicit HandlerRunner(Trace &trace);

    // Runs an event handler; nothing once the program has ended.
    void run(const std::function<void()> &handler);

    // Runs a command the user chose (a menu command) as an event handler,
    // at once; nothing while another command is still running, which it
    // is for as long as the window it opened is shown: a command typed
    // ahead of the first one's window never opens a second window.
    void runCommand(const std::function<void()> &command);

    // Tells the user of an error that stops the program, then ends it with 1.
    void reportError(const Error &error);

    // Ends the program at once: no further handler runs. Once an error that
    // stops the program was reported, the program ends with 1 whatever ends
    // it (a signal while its message is shown).
    [[noreturn]] void end(int exitCode = 0);
    bool hasEnded() const { return m_ended; }
    // An error that stops the program has been reported (its message may
    // still be shown).
    bool isFailing() const { return m_failing; }
    int exitCode() const { return m_exitCode; }
    // Throws out of a handler whose nested loop returned because the
    // program ended meanwhile.
    void leaveIfEnded() const;

    // Runs a nested event loop (a modal window's exec()).
    void runNestedLoop(const std::function<void()> &loop);

    void setMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }
    void setEndHook(EndHook hook) { m_endHook = std::move(hook); }
    // Runs as the program ends, before the end hook (the windows hide).
    void setOnEnd(std::function<void()> onEnd) { m_onEnd = std::move(onEnd); }

    // The scope of one assignment from code: a handler it raises keeps its
    // error, which rethrowPending() raises again in the assigning code.
    class Assignment {
    public:
        explicit Assignment(HandlerRunner &runner) : m_runner(runner) { ++m_runner.m_assignmentDepth; }
        ~Assignment() { --m_runner.m_assignmentDepth; }
        Assignment(const Assignment &) = delete;
        Assignment &operator=(const Assignment &) = delete;
        void rethrowPending();

    private:
        HandlerRunner &m_runner;
    };

private:
    struct EndSignal {};

    void runNested(const std::function<void()> &handler);
    void show(const UserMessage &message);
    void finish(int exitCode);

    Trace &m_trace;
    MessageHook m_messageHook;
    EndHook m_endHook;
    std::function<void()> m_onEnd;
    int m_assignmentDepth = 0;
    std::exception_ptr m_pending;
    bool m_ended = false;
    bool m_inCommand = false;
    bool m_failing = false;
    int m_exitCode = 0;
};

} // namespace kakeibo
