// What a text box shows of its text. Only the part from the first shown
// character on is laid out, as far as the box is wide and a margin more,
// so that showing, editing and moving through a text of millions of
// characters costs what a text that fits costs; the text itself is never
// copied but for that part. The view scrolls by characters to keep the
// caret in sight, as a text box does: moved past the right edge, the caret
// comes to rest at it; moved past the left edge, at that; and a text whose
// end is in sight fills the box from the right when it can.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QTextLayout>

class QPainter;
class QPalette;

namespace kakeibo {

class EditBuffer;

class TextBoxView {
public:
    // What an input method is composing at the caret: its text, its own
    // caret within it, and its look (ranges relative to its start).
    struct Composing {
        QString text;
        int caret = 0;
        bool caretShown = true;
        QList<QTextLayout::FormatRange> formats;
    };

    void setFont(const QFont &font) { m_font = font; }
    // The rectangle of the line of text, in the box's coordinates.
    void setLine(const QRect &line) { m_line = line; }
    const QRect &line() const { return m_line; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    // Lays out what is to be shown of the buffer's text with the
    // composition at its caret, scrolled so that the caret is in sight.
    void follow(const EditBuffer &buffer, const Composing &composing);

    // The first character shown.
    qsizetype first() const { return m_first; }
    // The text position nearest to x (box coordinates) among those shown.
    qsizetype positionAt(qreal x) const;
    // Where a shown text position is drawn, in box coordinates.
    qreal xOf(qsizetype position) const;
    // The caret's rectangle, in box coordinates.
    QRect caretRect() const;

    // Draws the shown text with the selection [start, end) highlighted and
    // the caret when asked for.
    void draw(QPainter &painter, const QPalette &palette, qsizetype selectionStart, qsizetype selectionEnd,
              int caretWidth) const;

private:
    // Lays out the part of text shown from its character `first` on.
    void showFrom(const QString &text, qsizetype first);
    qsizetype shownCount() const { return m_layout.text().size(); }
    qsizetype startShowing(const QString &text, qsizetype end, qreal caretOffset) const;
    int layoutIndex(qsizetype position) const;
    qsizetype sliceLength() const;
    qreal caretX() const;

    QFont m_font;
    QRect m_line;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    qsizetype m_first = 0;
    qsizetype m_cursor = 0;
    Composing m_composing;
    QTextLayout m_layout;
    qreal m_shift = 0;
};

} // namespace kakeibo
