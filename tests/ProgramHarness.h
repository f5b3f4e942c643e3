// Starts the whole program, in-process, on a temporary application
// directory, and answers and records what the frame would show the user.
#pragma once

#include "Controls.h"
#include "Frame.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

class QPushButton;
class QRadioButton;

class ProgramHarness {
public:
    enum class Icon { Installed, Missing, NotAnImage };

    explicit ProgramHarness(Icon icon = Icon::Installed);
    // On a given application directory, which must exist.
    explicit ProgramHarness(const QString &applicationDirectory, Icon icon = Icon::Installed);
    ~ProgramHarness();

    QString path(const QString &fileName) const;
    void writeFile(const QString &fileName, const QByteArray &bytes) const;
    QByteArray readFile(const QString &fileName) const;

    // Starts the program; false when it ended during start-up.
    bool start();
    kakeibo::Frame &frame() { return *m_frame; }

    // A control of a loaded window; never loads a window. A window that is
    // not loaded, or a control that is missing or of another kind, fails
    // the test with a message (and stops it).
    template <typename T>
    T *find(const QString &window, const QString &name, int index = -1) const
    {
        QWidget *loaded = m_frame->windows().loadedForm(window);
        T *found = loaded ? loaded->findChild<T *>(kakeibo::Controls::arrayName(name, index)) : nullptr;
        if (!found)
            failMissing(window, kakeibo::Controls::arrayName(name, index), T::staticMetaObject.className());
        return found;
    }

    // User input, as the keyboard and mouse deliver it.
    static void type(QLineEdit *box, const QString &text);
    static void commitInputMethodText(QLineEdit *box, const QString &text);
    static void click(QWidget *control);
    // Selects all of a field and types the text in its place.
    static void retype(QLineEdit *box, const QString &text);
    // Empties a field and pastes the text into it with Ctrl+V.
    static void repaste(QLineEdit *box, const QString &text);

    // What a screen reader says for a control.
    static QString spokenName(QWidget *control);

    // The six fields and the apply button of an editing window.
    static QLineEdit *field(QWidget *window, int slot);
    static QPushButton *applyButton(QWidget *window);

    // Chooses a menu command of the entry window that shows a window
    // modally, and runs `inside` once that window is up. Whatever is still
    // modal when `inside` returns is closed with its close box, so a failing
    // test never hangs. Returns whether a modal window was shown.
    bool whileModal(const QString &menuCommand, const std::function<void(QWidget *)> &inside);

    QList<kakeibo::UserMessage> messages;
    QList<int> endCodes;
    // What the user saw and the end, in the order they happened:
    // "warning", "fatal" for messages, "end N" for the end.
    QStringList events;

    bool hasEnded() const { return !endCodes.isEmpty(); }
    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last().text; }

private:
    void install(Icon icon);
    [[noreturn]] static void failMissing(const QString &window, const QString &control, const char *kind);

    QTemporaryDir m_dir;
    QString m_appDir;
    std::unique_ptr<kakeibo::Frame> m_frame;
};
