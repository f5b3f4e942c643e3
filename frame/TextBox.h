// The single-line text box of every window. It edits as a desktop text box
// does (the caret and selection by keys and mouse, cut, copy and paste,
// undo, an input method's composition at the caret, a context menu) and
// holds text of any length at the cost of the text alone: it lays out only
// the part it shows (TextBoxView), so that a category name of millions of
// characters takes no more memory per character than the name itself and
// moves, edits and shows at once. The text and its edits live in an
// EditBuffer; this class turns events into edits and draws the view.
#pragma once

#include "EditBuffer.h"
#include "TextBoxView.h"

#include <QBasicTimer>
#include <QWidget>

#include <limits>

class QStyleOptionFrame;

namespace kakeibo {

class TextBox : public QWidget {
    Q_OBJECT

public:
    // A box with no limit holds whatever is typed or pasted, however long.
    static constexpr qsizetype kNoLimit = std::numeric_limits<int>::max();

    // An edit (a key, a paste, an input-method commit) that would take the
    // text past maxLength characters is refused whole.
    explicit TextBox(QWidget *parent, qsizetype maxLength = kNoLimit);

    QString text() const { return m_buffer.text(); }
    // The program's write: the caret to the end, nothing to undo; raises
    // textChanged when the text changed.
    void setText(const QString &text);
    qsizetype maxLength() const { return m_buffer.maxLength(); }

    int cursorPosition() const { return static_cast<int>(m_buffer.cursor()); }
    void setCursorPosition(qsizetype position);
    bool hasSelectedText() const { return m_buffer.hasSelection(); }
    QString selectedText() const { return m_buffer.selectedText(); }
    qsizetype selectionStart() const { return m_buffer.selectionStart(); }
    qsizetype selectionEnd() const { return m_buffer.selectionEnd(); }
    // Selects `length` characters from start (backwards when negative); the
    // caret ends at start + length.
    void setSelection(qsizetype start, qsizetype length);
    void selectAll();
    void deselect() { setCursorPosition(m_buffer.cursor()); }
    bool isUndoAvailable() const { return m_buffer.isUndoAvailable(); }

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    // Where the caret is drawn (input methods put their window beside it).
    QRect cursorRect() const { return m_view.caretRect(); }
    // Where a character is drawn, when it is in sight.
    QRect characterRect(qsizetype position) const;
    // The text position under a point of the box.
    qsizetype positionAt(const QPoint &point) const { return m_view.positionAt(point.x()); }

    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // Any change of the text, by the user or by the program.
    void textChanged(const QString &text);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Every change goes through here: the edit runs, then the view follows,
    // the caret shows, and textChanged is raised if the text changed.
    template <typename Edit>
    void change(Edit edit);
    void insertTyped(const QString &text);
    void setComposing(const QInputMethodEvent *event);
    // The view follows the text and caret (refresh), and the rectangle of
    // its line first where the box's size, font, style or alignment changed.
    void refresh();
    void relayOut();
    void restartBlink();
    void copyToSelection() const;
    void initStyleOption(QStyleOptionFrame *option) const;
    QRect lineRect() const;

    EditBuffer m_buffer;
    TextBoxView m_view;
    TextBoxView::Composing m_composing;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QBasicTimer m_blink;
    bool m_caretOn = false;
    bool m_selecting = false;
};

} // namespace kakeibo
