#include "EditBuffer.h"

#include <QTextBoundaryFinder>

#include <cstdlib>

namespace kakeibo {
namespace {

// How far on either side of the caret a boundary is looked for. Characters
// and words are found within it, so that moving the caret never scans the
// whole text; a run with no boundary this long is crossed in one step.
constexpr qsizetype kLookAround = 1024;

// The boundary of `type` after `position`, looked for from there on.
qsizetype boundaryAfter(const QString &text, qsizetype position, QTextBoundaryFinder::BoundaryType type)
{
    const qsizetype end = std::min(text.size(), position + kLookAround);
    if (position >= end)
        return text.size();
    QTextBoundaryFinder finder(type, text.constData() + position, end - position);
    const qsizetype next = finder.toNextBoundary();
    return next < 0 ? end : position + next;
}

// The boundary of `type` before `position`, looked for back to there.
qsizetype boundaryBefore(const QString &text, qsizetype position, QTextBoundaryFinder::BoundaryType type)
{
    const qsizetype start = std::max<qsizetype>(0, position - kLookAround);
    if (position <= start)
        return 0;
    QTextBoundaryFinder finder(type, text.constData() + start, position - start);
    finder.toEnd();
    const qsizetype previous = finder.toPreviousBoundary();
    return previous < 0 ? start : start + previous;
}

bool isSpace(const QString &text, qsizetype position)
{
    return position < text.size() && text[position].isSpace();
}

} // namespace

QString EditBuffer::selectedText() const
{
    return m_text.mid(selectionStart(), selectionEnd() - selectionStart());
}

void EditBuffer::setText(const QString &text)
{
    m_text = text.size() > m_maxLength ? text.left(m_maxLength) : text;
    m_cursor = m_anchor = m_text.size();
    m_undo.clear();
    m_redo.clear();
    ++m_revision;
}

void EditBuffer::moveCursor(qsizetype position, bool keepAnchor)
{
    m_cursor = clamped(position);
    if (!keepAnchor)
        m_anchor = m_cursor;
}

bool EditBuffer::replace(qsizetype start, qsizetype length, const QString &text)
{
    start = clamped(start);
    length = std::clamp<qsizetype>(length, 0, m_text.size() - start);
    if (text.size() - length > m_maxLength - m_text.size())
        return false;
    if (length == 0 && text.isEmpty())
        return true;
    m_undo.push_back({start, m_text.mid(start, length), text, m_cursor, m_anchor});
    m_redo.clear();
    m_text.replace(start, length, text);
    m_cursor = m_anchor = start + text.size();
    ++m_revision;
    return true;
}

void EditBuffer::removeTo(qsizetype to)
{
    if (hasSelection()) {
        insert(QString());
        return;
    }
    to = clamped(to);
    replace(std::min(m_cursor, to), std::abs(to - m_cursor), QString());
}

void EditBuffer::undo()
{
    if (m_undo.empty())
        return;
    Edit edit = std::move(m_undo.back());
    m_undo.pop_back();
    m_text.replace(edit.position, edit.inserted.size(), edit.removed);
    m_cursor = edit.cursorBefore;
    m_anchor = edit.anchorBefore;
    ++m_revision;
    m_redo.push_back(std::move(edit));
}

void EditBuffer::redo()
{
    if (m_redo.empty())
        return;
    Edit edit = std::move(m_redo.back());
    m_redo.pop_back();
    m_text.replace(edit.position, edit.removed.size(), edit.inserted);
    m_cursor = m_anchor = edit.position + edit.inserted.size();
    ++m_revision;
    m_undo.push_back(std::move(edit));
}

qsizetype EditBuffer::nextCharacter(qsizetype position) const
{
    return boundaryAfter(m_text, clamped(position), QTextBoundaryFinder::Grapheme);
}

qsizetype EditBuffer::previousCharacter(qsizetype position) const
{
    return boundaryBefore(m_text, clamped(position), QTextBoundaryFinder::Grapheme);
}

qsizetype EditBuffer::nextWord(qsizetype position) const
{
    qsizetype next = clamped(position);
    if (!isSpace(m_text, next))
        next = boundaryAfter(m_text, next, QTextBoundaryFinder::Word);
    while (isSpace(m_text, next))
        ++next;
    return next;
}

qsizetype EditBuffer::previousWord(qsizetype position) const
{
    qsizetype previous = clamped(position);
    while (previous > 0 && isSpace(m_text, previous - 1))
        --previous;
    return boundaryBefore(m_text, previous, QTextBoundaryFinder::Word);
}

std::pair<qsizetype, qsizetype> EditBuffer::wordAt(qsizetype position) const
{
    position = clamped(position);
    if (position == m_text.size() && position > 0)
        --position;  // a double click past the end takes the last word
    const qsizetype end = boundaryAfter(m_text, position, QTextBoundaryFinder::Word);
    const qsizetype start = position == end ? position : boundaryBefore(m_text, position + 1, QTextBoundaryFinder::Word);
    return {start, end};
}

} // namespace kakeibo
