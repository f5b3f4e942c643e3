#include "TextBoxView.h"

#include "EditBuffer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QTextLine>

namespace kakeibo {
namespace {

// Characters that would end the line or stand for an object are shown as
// spaces, as a single-line box does.
void showAsSpaces(QString &slice)
{
    for (QChar &c : slice) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter)
            c = QLatin1Char(' ');
    }
}

// A slice must not start inside a character: not on the second half of a
// surrogate pair, nor on a mark that belongs to the letter before it.
qsizetype characterStart(const QString &text, qsizetype position, qsizetype limit)
{
    while (position < limit && (text[position].isLowSurrogate() || text[position].isMark()))
        ++position;
    return position;
}

} // namespace

qsizetype TextBoxView::sliceLength() const
{
    // Four times as many average characters as the line holds: enough for
    // the narrowest characters of any font the box is given.
    const qreal average = std::max<qreal>(1, QFontMetricsF(m_font).averageCharWidth());
    const auto fitting = static_cast<qsizetype>(m_line.width() / average);
    return std::clamp<qsizetype>(4 * fitting + 16, 64, 8192);
}

void TextBoxView::showFrom(const QString &text, qsizetype first)
{
    m_first = first;
    QString slice = text.mid(first, sliceLength());
    showAsSpaces(slice);
    const qsizetype caret = m_cursor - first;
    const bool composes = !m_composing.text.isEmpty() && caret >= 0 && caret <= slice.size();
    m_layout.setText(slice);
    m_layout.setFont(m_font);
    QTextOption option;
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    option.setWrapMode(QTextOption::NoWrap);
    m_layout.setTextOption(option);
    m_layout.setPreeditArea(composes ? static_cast<int>(caret) : -1, composes ? m_composing.text : QString());
    QList<QTextLayout::FormatRange> formats;
    if (composes) {
        for (QTextLayout::FormatRange range : m_composing.formats) {
            range.start += static_cast<int>(caret);
            formats.append(range);
        }
    }
    m_layout.setFormats(formats);
    m_layout.beginLayout();
    m_layout.createLine();
    m_layout.endLayout();
}

int TextBoxView::layoutIndex(qsizetype position) const
{
    const qsizetype index = std::clamp<qsizetype>(position - m_first, 0, shownCount());
    const bool afterComposing = position > m_cursor && m_layout.preeditAreaPosition() >= 0;
    return static_cast<int>(afterComposing ? index + m_composing.text.size() : index);
}

qreal TextBoxView::caretX() const
{
    const int caret = layoutIndex(m_cursor) + (m_layout.preeditAreaPosition() >= 0 ? m_composing.caret : 0);
    return m_layout.lineAt(0).cursorToX(caret);
}

// The first character from which the text up to `end` (and caretOffset
// pixels of composition beyond it) fits the line.
qsizetype TextBoxView::startShowing(const QString &text, qsizetype end, qreal caretOffset) const
{
    const qsizetype from = characterStart(text, std::max<qsizetype>(0, end - sliceLength()), end);
    QTextLayout layout;
    QString slice = text.mid(from, end - from);
    layout.setText(slice);
    layout.setFont(m_font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal endX = line.cursorToX(static_cast<int>(slice.size())) + caretOffset;
    int start = 0;
    while (start < slice.size() && endX - line.cursorToX(start) > m_line.width() - 1)
        start = layout.nextCursorPosition(start);
    return from + start;
}

void TextBoxView::follow(const EditBuffer &buffer, const Composing &composing)
{
    const QString &text = buffer.text();
    m_cursor = buffer.cursor();
    m_composing = composing;
    showFrom(text, std::min({m_first, m_cursor, text.size()}));
    const qreal caret = caretX();
    // The width of the composition up to its own caret, which must be in
    // sight as well.
    const qreal composed = caret - m_layout.lineAt(0).cursorToX(layoutIndex(m_cursor));
    const bool endShown = m_first + shownCount() == text.size();
    qsizetype first = m_first;
    if (caret > m_line.width() - 1)
        first = startShowing(text, m_cursor, composed);
    else if (first > 0 && endShown && m_layout.lineAt(0).naturalTextWidth() < m_line.width() - 1)
        first = std::min(m_cursor, startShowing(text, text.size(), m_cursor == text.size() ? composed : 0));
    if (first != m_first)
        showFrom(text, first);
    const qreal spare = m_line.width() - 1 - m_layout.lineAt(0).naturalTextWidth();
    const bool fits = m_first == 0 && shownCount() == text.size() && spare > 0;
    const Qt::Alignment horizontal = m_alignment & Qt::AlignHorizontal_Mask;
    m_shift = !fits ? 0 : horizontal & Qt::AlignRight ? spare : horizontal & Qt::AlignHCenter ? spare / 2 : 0;
}

qsizetype TextBoxView::positionAt(qreal x) const
{
    const int index = m_layout.lineAt(0).xToCursor(x - m_line.left() - m_shift, QTextLine::CursorBetweenCharacters);
    const int caret = layoutIndex(m_cursor);
    const int composed = m_layout.preeditAreaPosition() >= 0 ? static_cast<int>(m_composing.text.size()) : 0;
    if (index <= caret)
        return m_first + index;
    return m_first + std::max(caret, index - composed);
}

qreal TextBoxView::xOf(qsizetype position) const
{
    return m_line.left() + m_shift + m_layout.lineAt(0).cursorToX(layoutIndex(position));
}

QRect TextBoxView::caretRect() const
{
    const int x = qRound(m_line.left() + m_shift + caretX());
    return {x, m_line.top(), 1, m_line.height()};
}

void TextBoxView::draw(QPainter &painter, const QPalette &palette, qsizetype selectionStart, qsizetype selectionEnd,
                       int caretWidth) const
{
    const QPointF origin(m_line.left() + m_shift, m_line.top());
    QList<QTextLayout::FormatRange> selections;
    if (selectionEnd > selectionStart) {
        QTextLayout::FormatRange range;
        range.start = layoutIndex(selectionStart);
        range.length = layoutIndex(selectionEnd) - range.start;
        range.format.setBackground(palette.brush(QPalette::Highlight));
        range.format.setForeground(palette.brush(QPalette::HighlightedText));
        selections.append(range);
    }
    painter.setPen(palette.color(QPalette::Text));
    m_layout.draw(&painter, origin, selections);
    const bool caretShown = m_layout.preeditAreaPosition() < 0 || m_composing.caretShown;
    if (caretWidth > 0 && caretShown) {
        const int caret = layoutIndex(m_cursor) + (m_layout.preeditAreaPosition() >= 0 ? m_composing.caret : 0);
        m_layout.drawCursor(&painter, origin, caret, caretWidth);
    }
}

} // namespace kakeibo
