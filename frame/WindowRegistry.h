// The windows' life cycle: the one instance of each window, created from
// its design on first touch (implicit load) and destroyed on unload; modal
// display; the start window; and finding a window's controls by name.
#pragma once

#include "Error.h"

#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace kakeibo {

class FormBase;
class Frame;
class HandlerRunner;
class Trace;

class WindowRegistry {
public:
    using Factory = std::function<FormBase *(Frame &)>;

    WindowRegistry(Frame &frame, HandlerRunner &runner, Trace &trace);
    ~WindowRegistry();
    WindowRegistry(const WindowRegistry &) = delete;
    WindowRegistry &operator=(const WindowRegistry &) = delete;

    void registerForm(const QString &name, Factory factory);

    // Implicit load: the loaded window, or a new one created from its design
    // whose Form_Load has run. A window whose Form_Load is still running
    // counts as loaded and is returned as it is.
    FormBase *form(const QString &name);
    bool isLoaded(const QString &name) const;
    // The window when it is loaded, else nullptr; never loads it.
    QWidget *loadedForm(const QString &name) const;

    // Shows a window modally to the whole application (loading it first),
    // owned by the start window, which the desktop keeps it above and may
    // attach it to; returns once it is hidden or unloaded.
    void showModal(const QString &name);

    // Runs Form_Unload, then destroys the window; the next touch recreates it.
    void unload(const QString &name);

    // Creates the start window, runs its Form_Load and shows it. False when
    // the program ended on the way (an untrapped error was reported).
    bool start(const QString &name);

    // Brings the window the user works in (a modal one, else mainWindow) to
    // the front, with the desktop's activation token where it has one (a
    // Wayland compositor activates a window only with a token); without a
    // token the window is also marked as wanting attention.
    void bringToFront(const QString &mainWindow, const QString &activationToken = {});

    // Hides every window (the program is ending).
    void hideAll();

    // A control by window and control name; "optKoumoku", 2 finds
    // "optKoumoku_2". Touching an unloaded window loads it. A missing
    // control, or one of another kind, is an internal error naming both.
    template <typename T>
    T *control(const QString &window, const QString &name, int index = -1)
    {
        QWidget *found = findControl(window, name, index);
        if (auto *typed = qobject_cast<T *>(found))
            return typed;
        throw RuntimeError(wrongKind(window, name, index, T::staticMetaObject.className()));
    }

private:
    QWidget *findControl(const QString &window, const QString &name, int index);
    static Error wrongKind(const QString &window, const QString &name, int index, const char *wanted);
    void centre(QWidget *window) const;
    void ownByStartWindow(FormBase *window) const;

    Frame &m_frame;
    HandlerRunner &m_runner;
    Trace &m_trace;
    QMap<QString, Factory> m_factories;
    QMap<QString, QPointer<FormBase>> m_forms;
    QString m_startWindow;
};

} // namespace kakeibo
