// Alt with a letter is a command, never text.
//
// Following the desktop convention this program keeps, a key typed while
// Alt is held chooses a menu command or presses a button through its access
// key, and nothing else: Qt would otherwise type the letter into the field
// that has the focus when no access key matches (Alt+Q in the amount box),
// and a held Alt+R would, once its window is open, repeat "r" over the
// selected first field. So, for the whole application:
//  - a press of Alt+key that no shortcut takes is not typed into any field;
//  - the keyboard's auto-repeat of Alt+key does nothing at all, so each press
//    opens its window once, however long the key is held.
// AltGr, which Windows reports as Ctrl+Alt, still types its characters.
#pragma once

#include <QObject>

namespace kakeibo {

class AltKeys : public QObject {
public:
    // Watches every key event of the application while this object lives.
    explicit AltKeys(QObject *application);

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override;
};

} // namespace kakeibo
