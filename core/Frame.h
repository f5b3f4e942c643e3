// The application frame: the run-time services every window relies on.
//
// The frame knows the application directory, keeps the one instance of each
// window (created on first touch and destroyed on unload), shows windows
// modally, ends the program, and runs every event handler inside run(), the
// one place where an error that no handler traps is reported and ends the
// program. An exception never crosses Qt's event loop: handlers raised by
// the program's own assignments (a text set from code raises its change
// event) hand their error back to the assigning code, which rethrows it, so
// that an error travels up the chain of routines exactly as if the nested
// handler had been called directly.
//
// Two seams serve the tests: the message hook receives every message the
// user would see, and the end hook observes the end of the program.
#pragma once

#include "Error.h"

#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>

class QLineEdit;
class QRadioButton;
class QWidget;

namespace kakeibo {

class AltKeys;
class FormBase;

// What the user is told: a refusal (the program goes on) or an untrapped
// error (the program ends after the message).
struct UserMessage {
    enum class Severity { Warning, Fatal };
    Severity severity;
    QString text;
};

class Frame {
public:
    using Factory = std::function<FormBase *(Frame &)>;
    using MessageHook = std::function<void(const UserMessage &)>;
    using EndHook = std::function<void(int exitCode)>;

    static const QString kTitle;

    // The frame of this run; the application directory holds the data files.
    explicit Frame(QString applicationDirectory);
    ~Frame();
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;

    static Frame &current();

    const QString &applicationDirectory() const { return m_appDir; }
    // The application directory followed by "/" and the file name, unchanged.
    QString appFile(const QString &fileName) const;

    void registerForm(const QString &name, Factory factory);

    // Implicit load: the loaded window, or a new one created from its design
    // whose Form_Load has run. A window whose Form_Load is still running
    // counts as loaded and is returned as it is.
    FormBase *form(const QString &name);
    bool isLoaded(const QString &name) const;
    // The window when it is loaded, else nullptr; never loads it.
    QWidget *loadedForm(const QString &name) const;

    // Shows a window modally (loading it first); returns once it is hidden or
    // unloaded. Meanwhile no other window takes input.
    void showModal(const QString &name);

    // Runs Form_Unload, then destroys the window; the next touch recreates it.
    void unload(const QString &name);

    // Creates the start window, runs its Form_Load and shows it. False when
    // the program ended on the way (an untrapped error was reported).
    bool start(const QString &name);

    // Brings the window the user works in (a modal one, else the entry
    // window) to the front.
    void bringToFront(const QString &mainWindow);

    // Ends the program at once: no further handler runs.
    [[noreturn]] void end(int exitCode = 0);
    bool hasEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }

    // Runs an event handler: the one place where untrapped errors are
    // reported and refusals shown.
    void run(const std::function<void()> &handler);

    // Tells the user of an error that stops the program, and ends it with 1.
    void reportError(const Error &error);

    // Control access by window and control name; "optKoumoku", 2 finds
    // "optKoumoku_2". Touching an unloaded window loads it.
    template <typename T>
    T *control(const QString &window, const QString &name, int index = -1)
    {
        return qobject_cast<T *>(findControl(window, name, index));
    }

    // Assignments from code: a changed text raises the change event before
    // this returns, and an error raised in that handler comes back here.
    // A text set to what it already holds changes nothing, not even the
    // caret; a changed one keeps the caret before the same characters.
    void setText(QLineEdit *box, const QString &text);
    // Shows a caption literally ("&" is no access key here; a very long one
    // is cut short, Captions::shownPart), fits the label to it and brings
    // the spoken names that depend on it up to date. A caption set to the
    // text it already shows is left alone.
    void setCaption(QWidget *control, const QString &caption);
    void clearOption(QRadioButton *option);

    // Reads a picture file; a missing or unreadable one raises an error.
    QPixmap loadPicture(const QString &path) const;

    // The user's message for an error: what failed, the file and the reason.
    static QString describe(const Error &error);

    void setMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }
    void setEndHook(EndHook hook) { m_endHook = std::move(hook); }

    // While tracing is on, the steps of the run in the order they happened:
    // window loads, shows and unloads ("load frmIO", "loaded frmIO") and the
    // routines that record themselves. Off unless a test turns it on.
    void setTracing(bool on) { m_tracing = on; }
    const QStringList &trace() const { return m_trace; }
    void addTrace(const QString &step)
    {
        if (m_tracing)
            m_trace.append(step);
    }

private:
    class Assignment;
    struct EndSignal {};

    QWidget *findControl(const QString &window, const QString &name, int index);
    void show(const UserMessage &message);
    void finish(int exitCode);
    void runNestedLoop(const std::function<void()> &loop);
    void centre(QWidget *window) const;

    QString m_appDir;
    std::unique_ptr<AltKeys> m_altKeys;
    QMap<QString, Factory> m_factories;
    QMap<QString, QPointer<FormBase>> m_forms;
    MessageHook m_messageHook;
    EndHook m_endHook;
    QStringList m_trace;
    int m_assignmentDepth = 0;
    std::exception_ptr m_pending;
    bool m_tracing = false;
    bool m_ended = false;
    int m_exitCode = 0;

    friend class FormBase;
};

} // namespace kakeibo
