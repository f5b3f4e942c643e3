// The program's own writes into controls, with the rules the windows rely
// on: a text set from code raises its change event before the write
// returns, and an error raised in that handler comes back to the writer
// (HandlerRunner's assignment rule); a write of what a control already
// holds changes nothing.
#pragma once

#include <QString>

class QLineEdit;
class QRadioButton;
class QWidget;

namespace kakeibo {

class HandlerRunner;

class ControlWriter {
public:
    explicit ControlWriter(HandlerRunner &runner) : m_runner(runner) {}

    // A text set to what it already holds changes nothing, not even the
    // caret; a changed one keeps the caret before the same characters.
    void setText(QLineEdit *box, const QString &text);

    // Shows a caption literally ("&" is no access key here; a very long one
    // is cut short, Captions::shownPart), fits the label to it and brings
    // the spoken names that depend on it up to date. A caption set to the
    // text it already shows is left alone.
    void setCaption(QWidget *control, const QString &caption);

    // Clears a chosen option button.
    void clearOption(QRadioButton *option);

private:
    HandlerRunner &m_runner;
};

} // namespace kakeibo
