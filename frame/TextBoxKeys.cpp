#include "TextBoxKeys.h"

#include <QKeyEvent>

#include <utility>

namespace kakeibo::TextBoxKeys {
namespace {

enum class Target { PreviousCharacter, NextCharacter, PreviousWord, NextWord, Start, End };

struct MoveKey {
    QKeySequence::StandardKey key;
    Target target;
    bool select;
};

constexpr MoveKey kMoveKeys[] = {
    {QKeySequence::MoveToPreviousChar, Target::PreviousCharacter, false},
    {QKeySequence::SelectPreviousChar, Target::PreviousCharacter, true},
    {QKeySequence::MoveToNextChar, Target::NextCharacter, false},
    {QKeySequence::SelectNextChar, Target::NextCharacter, true},
    {QKeySequence::MoveToPreviousWord, Target::PreviousWord, false},
    {QKeySequence::SelectPreviousWord, Target::PreviousWord, true},
    {QKeySequence::MoveToNextWord, Target::NextWord, false},
    {QKeySequence::SelectNextWord, Target::NextWord, true},
    {QKeySequence::MoveToStartOfLine, Target::Start, false},
    {QKeySequence::MoveToStartOfBlock, Target::Start, false},
    {QKeySequence::MoveToStartOfDocument, Target::Start, false},
    {QKeySequence::SelectStartOfLine, Target::Start, true},
    {QKeySequence::SelectStartOfBlock, Target::Start, true},
    {QKeySequence::SelectStartOfDocument, Target::Start, true},
    {QKeySequence::MoveToEndOfLine, Target::End, false},
    {QKeySequence::MoveToEndOfBlock, Target::End, false},
    {QKeySequence::MoveToEndOfDocument, Target::End, false},
    {QKeySequence::SelectEndOfLine, Target::End, true},
    {QKeySequence::SelectEndOfBlock, Target::End, true},
    {QKeySequence::SelectEndOfDocument, Target::End, true},
};

constexpr std::pair<QKeySequence::StandardKey, Edit> kEditKeys[] = {
    {QKeySequence::Undo, Edit::Undo},
    {QKeySequence::Redo, Edit::Redo},
    {QKeySequence::Cut, Edit::Cut},
    {QKeySequence::Copy, Edit::Copy},
    {QKeySequence::Paste, Edit::Paste},
    {QKeySequence::SelectAll, Edit::SelectAll},
    {QKeySequence::Delete, Edit::DeleteForward},
    {QKeySequence::DeleteStartOfWord, Edit::DeleteWordBack},
    {QKeySequence::DeleteEndOfWord, Edit::DeleteWordForward},
    {QKeySequence::DeleteCompleteLine, Edit::DeleteLine},
};

qsizetype targetOf(const EditBuffer &buffer, const MoveKey &move)
{
    // Left or right over a selection ends it at its own edge.
    const bool collapses = buffer.hasSelection() && !move.select;
    switch (move.target) {
    case Target::PreviousCharacter:
        return collapses ? buffer.selectionStart() : buffer.previousCharacter(buffer.cursor());
    case Target::NextCharacter:
        return collapses ? buffer.selectionEnd() : buffer.nextCharacter(buffer.cursor());
    case Target::PreviousWord:
        return buffer.previousWord(buffer.cursor());
    case Target::NextWord:
        return buffer.nextWord(buffer.cursor());
    case Target::Start:
        return 0;
    case Target::End:
        return buffer.size();
    }
    return buffer.cursor();
}

qsizetype previousCodePoint(const EditBuffer &buffer)
{
    const qsizetype cursor = buffer.cursor();
    const QString &text = buffer.text();
    if (cursor >= 2 && text[cursor - 1].isLowSurrogate() && text[cursor - 2].isHighSurrogate())
        return cursor - 2;
    return std::max<qsizetype>(0, cursor - 1);
}

// A key's text that is typed: printable characters and format characters
// (ZWJ and the like), not Ctrl with a letter.
bool isTypedText(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (held == Qt::ControlModifier || held == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return first.isPrint() || first.category() == QChar::Other_PrivateUse
           || (first.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate());
}

} // namespace

std::optional<Move> moveFor(const QKeyEvent *event, const EditBuffer &buffer)
{
    for (const MoveKey &move : kMoveKeys) {
        if (event->matches(move.key))
            return Move{targetOf(buffer, move), move.select};
    }
    return std::nullopt;
}

Edit editFor(const QKeyEvent *event)
{
    for (const auto &[key, edit] : kEditKeys) {
        if (event->matches(key))
            return edit;
    }
    if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return Edit::Backspace;
    return isTypedText(event) ? Edit::Type : Edit::None;
}

qsizetype deletionEnd(Edit edit, const EditBuffer &buffer)
{
    switch (edit) {
    case Edit::DeleteForward:
        return buffer.nextCharacter(buffer.cursor());
    case Edit::DeleteWordBack:
        return buffer.previousWord(buffer.cursor());
    case Edit::DeleteWordForward:
        return buffer.nextWord(buffer.cursor());
    case Edit::Backspace:
        return previousCodePoint(buffer);
    default:
        return buffer.cursor();
    }
}

bool overridesShortcut(const QKeyEvent *event)
{
    for (const MoveKey &move : kMoveKeys) {
        if (event->matches(move.key))
            return true;
    }
    for (const auto &[key, edit] : kEditKeys) {
        if (event->matches(key))
            return true;
    }
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (held != Qt::NoModifier && held != Qt::ShiftModifier)
        return false;
    const int key = event->key();
    return key < Qt::Key_Escape || key == Qt::Key_Delete || key == Qt::Key_Home || key == Qt::Key_End
           || key == Qt::Key_Backspace || key == Qt::Key_Left || key == Qt::Key_Right;
}

} // namespace kakeibo::TextBoxKeys
