// A caret that stays on in a field holding a very long text.
//
// Qt's line edit measures the whole of its text at every paint, and the
// caret's blinking paints the field twice a second: in a field of millions
// of characters each blink would take the better part of a second, and the
// program would do nothing else. While the field that has the focus holds
// more than kLongText characters, the caret does not blink (the desktop's
// setting comes back as soon as the focus or the text is another).
#pragma once

#include <QObject>
#include <QPointer>

class QLineEdit;

namespace kakeibo {

class CaretBlink : public QObject {
public:
    static constexpr qsizetype kLongText = 100000;

    // Watches the focus of the whole application while this object lives.
    explicit CaretBlink(QObject *application);
    ~CaretBlink() override;

private:
    void follow(QObject *focus);
    void update();

    QPointer<QLineEdit> m_field;
    int m_desktopFlashTime = -1;  // the desktop's setting while it is held off
};

} // namespace kakeibo
