#include "ControlWriter.h"

#include "Captions.h"
#include "Controls.h"
#include "HandlerRunner.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace kakeibo {

// A text written back while the user types must not move the caret: an
// unchanged text is left alone entirely (caret, selection, undo history),
// and a changed one keeps the caret before the same characters that
// followed it, so that typing in the middle of "1234" stays in the middle.
void ControlWriter::setText(QLineEdit *box, const QString &text)
{
    const QString old = box->text();
    if (old == text)
        return;
    const qsizetype charactersAfter = old.size() - box->cursorPosition();
    HandlerRunner::Assignment assignment(m_runner);
    box->setText(text);
    const qsizetype size = box->text().size();
    box->setCursorPosition(static_cast<int>(std::max<qsizetype>(size - charactersAfter, 0)));
    assignment.rethrowPending();
}

void ControlWriter::setCaption(QWidget *control, const QString &caption)
{
    if (Captions::shownText(control) == Captions::shownPart(caption))
        return;
    Captions::setShownText(control, caption);
    if (auto *label = qobject_cast<QLabel *>(control))
        Controls::fitCaption(label);
    Captions::refreshSpokenNames(control);
}

void ControlWriter::clearOption(QRadioButton *option)
{
    // A checked auto-exclusive button ignores setChecked(false).
    HandlerRunner::Assignment assignment(m_runner);
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
    assignment.rethrowPending();
}

} // namespace kakeibo
