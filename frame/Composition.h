// A text composed with an input method lands once, in the field it was
// composed in.
//
// While the user composes (the input method shows an underlined preedit in a
// field), anything that takes the keys away from that field ends the
// composition first: a click anywhere else (another field, a button, the
// menu bar), Alt (a menu command follows), the field's window being blocked
// by a modal window, hidden or deactivated, or the focus moving on by any
// other way. Ending it commits the composed text into its own field, clears
// the preedit there and resets the input method, so that nothing of it is
// still being composed when the next field or window takes the keys.
//
// Some input methods also commit the composition themselves when they are
// reset or lose the focus (ibus with engines such as mozc, which commit on
// reset), after the toolkit has already committed it: that second commit
// arrives a moment later in whatever field has the focus by then. A commit
// of exactly the text just committed, with nothing composed in between, is
// such an echo and is dropped. A commit that arrives in another field while
// a composition is still shown in its own is delivered to its own field.
//
// A composition the input method takes back (Escape, or its last character
// deleted) is gone: the input method is reset at once, since Qt's ibus
// client keeps a preedit the input method hid and commits it into the field
// when the focus next moves.
//
// Qt's ibus client passes the input method's deletions around the caret on
// as the input method counts them, with a held selection still in the text
// (mozc reconverting a selected part of a name), while a line edit first
// removes the selection and then counts from where the caret landed, one
// character too far. With that client the selection is let go first (the
// caret stays), so that exactly what the input method names is removed.
// (fcitx5's client already counts as the line edit does.)
//
// Whenever the focus moves to another window, the input method is told the
// caret's rectangle again: a field takes the focus when its window is shown,
// before the desktop has activated that window, and the rectangle an input
// method client reports then is placed against the window that was active
// (the candidate window would open over another window).
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QInputMethodEvent;

namespace kakeibo {

class Composition : public QObject {
public:
    // Watches the input method events of the whole application. Whether Qt's
    // ibus client delivers them is read from QT_IM_MODULE, as Qt reads it.
    explicit Composition(QObject *application);

    // Commits the text being composed, if any, into its own field and resets
    // the input method; nothing when no text is being composed.
    void finish();

    // The field a text is being composed in, else nullptr.
    QObject *field() const { return m_field; }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override;

private:
    bool takeInputMethodEvent(QObject *receiver, QInputMethodEvent *event);
    bool endsComposition(QObject *receiver, const QEvent *event) const;
    void deliver(QObject *field, const QString &text);
    void send(QObject *field, QInputMethodEvent *event);
    void cancel();
    void releaseSelection(QObject *field);

    QPointer<QObject> m_field;
    QString m_preedit;
    QString m_echo;
    QDeadlineTimer m_echoDeadline;
    bool m_delivering = false;
    bool m_ibusClient = false;
};

} // namespace kakeibo
