// The text of a single-line text box and the edits made to it, with no
// widget: the caret and the anchor of the selection, the edits that can be
// undone and redone, the limit on the length, and where the caret goes by
// character and by word. An edit that would take the text past the limit
// is refused whole, never cut to fit (a cut "000…05" would read as 0).
// Every operation costs what its own edit costs: the text is never copied
// or scanned as a whole to move the caret, so a text of millions of
// characters edits as fast as a short one.
#pragma once

#include <QString>

#include <algorithm>
#include <utility>
#include <vector>

namespace kakeibo {

class EditBuffer {
public:
    explicit EditBuffer(qsizetype maxLength) : m_maxLength(maxLength) {}

    const QString &text() const { return m_text; }
    qsizetype size() const { return m_text.size(); }
    qsizetype cursor() const { return m_cursor; }
    qsizetype anchor() const { return m_anchor; }
    qsizetype maxLength() const { return m_maxLength; }
    // Grows by one with every change of the text.
    quint64 revision() const { return m_revision; }

    bool hasSelection() const { return m_cursor != m_anchor; }
    qsizetype selectionStart() const { return std::min(m_cursor, m_anchor); }
    qsizetype selectionEnd() const { return std::max(m_cursor, m_anchor); }
    QString selectedText() const;

    // The program's own write: the text (cut to the limit), the caret at
    // its end, no selection and nothing left to undo.
    void setText(const QString &text);

    // The caret to a position (kept within the text); with keepAnchor the
    // selection stretches from the anchor to it, otherwise there is none.
    void moveCursor(qsizetype position, bool keepAnchor);

    // Replaces the characters [start, start + length) by text as one edit
    // that can be undone; the caret follows the new text. False, changing
    // nothing, when the text would grow past the limit.
    bool replace(qsizetype start, qsizetype length, const QString &text);
    // Replaces the selection, or inserts at the caret.
    bool insert(const QString &text) { return replace(selectionStart(), selectionEnd() - selectionStart(), text); }
    // Removes the selection, or else the characters between the caret and
    // `to` (on either side of it).
    void removeTo(qsizetype to);

    bool isUndoAvailable() const { return !m_undo.empty(); }
    bool isRedoAvailable() const { return !m_redo.empty(); }
    void undo();
    void redo();

    // The caret positions one user-perceived character (a surrogate pair,
    // a letter with its combining marks) after and before a position.
    qsizetype nextCharacter(qsizetype position) const;
    qsizetype previousCharacter(qsizetype position) const;
    // The start of the next word after a position, and of the word before
    // it (spaces after a word belong to it, as in every text box).
    qsizetype nextWord(qsizetype position) const;
    qsizetype previousWord(qsizetype position) const;
    // The word around a position, as [start, end).
    std::pair<qsizetype, qsizetype> wordAt(qsizetype position) const;

private:
    struct Edit {
        qsizetype position;
        QString removed;
        QString inserted;
        qsizetype cursorBefore;
        qsizetype anchorBefore;
    };

    qsizetype clamped(qsizetype position) const { return std::clamp<qsizetype>(position, 0, m_text.size()); }

    QString m_text;
    qsizetype m_cursor = 0;
    qsizetype m_anchor = 0;
    qsizetype m_maxLength;
    quint64 m_revision = 0;
    std::vector<Edit> m_undo;
    std::vector<Edit> m_redo;
};

} // namespace kakeibo
