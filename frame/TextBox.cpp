#include "TextBox.h"

#include "TextBoxAccessible.h"
#include "TextBoxKeys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextCharFormat>

namespace kakeibo {
namespace {

// The space between the box's inner edge and its text, as a line edit has.
constexpr int kTextMargin = 2;
// How much text on either side of the caret an input method is told of.
constexpr qsizetype kSurrounding = 256;

} // namespace

TextBox::TextBox(QWidget *parent, qsizetype maxLength) : QWidget(parent), m_buffer(maxLength)
{
    TextBoxAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
    m_view.setFont(font());
    m_view.setAlignment(m_alignment);
    relayOut();
}

template <typename Edit>
void TextBox::change(Edit edit)
{
    const quint64 revision = m_buffer.revision();
    edit();
    refresh();
    restartBlink();
    const bool textChanged = m_buffer.revision() != revision;
    TextBoxAccessible::notify(this, textChanged);
    if (textChanged)
        emit this->textChanged(m_buffer.text());
}

void TextBox::setText(const QString &text)
{
    change([&] { m_buffer.setText(text); });
}

void TextBox::setCursorPosition(qsizetype position)
{
    change([&] { m_buffer.moveCursor(position, false); });
}

void TextBox::setSelection(qsizetype start, qsizetype length)
{
    change([&] {
        m_buffer.moveCursor(start, false);
        m_buffer.moveCursor(start + length, true);
    });
}

void TextBox::selectAll()
{
    setSelection(0, m_buffer.size());
}

void TextBox::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    m_view.setAlignment(alignment);
    relayOut();
}

QRect TextBox::characterRect(qsizetype position) const
{
    const qreal left = m_view.xOf(position);
    const qreal right = m_view.xOf(m_buffer.nextCharacter(position));
    const QRect caret = cursorRect();
    return QRect(QPoint(qRound(left), caret.top()), QPoint(qRound(right) - 1, caret.bottom()));
}

void TextBox::undo()
{
    change([&] { m_buffer.undo(); });
}

void TextBox::redo()
{
    change([&] { m_buffer.redo(); });
}

void TextBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    change([&] { m_buffer.removeTo(m_buffer.cursor()); });
}

void TextBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextBox::paste()
{
    insertTyped(QGuiApplication::clipboard()->text());
}

void TextBox::insertTyped(const QString &text)
{
    change([&] { m_buffer.insert(text); });
}

void TextBox::copyToSelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelectedText() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

bool TextBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && TextBoxKeys::overridesShortcut(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (const std::optional<TextBoxKeys::Move> move = TextBoxKeys::moveFor(event, m_buffer)) {
        change([&] { m_buffer.moveCursor(move->to, move->select); });
        event->accept();
        return;
    }
    const TextBoxKeys::Edit edit = TextBoxKeys::editFor(event);
    switch (edit) {
    case TextBoxKeys::Edit::None:
        // Enter, Esc and the window's commands go on to the window.
        event->ignore();
        return;
    case TextBoxKeys::Edit::Undo: undo(); break;
    case TextBoxKeys::Edit::Redo: redo(); break;
    case TextBoxKeys::Edit::Cut: cut(); break;
    case TextBoxKeys::Edit::Copy: copy(); break;
    case TextBoxKeys::Edit::Paste: paste(); break;
    case TextBoxKeys::Edit::SelectAll: selectAll(); break;
    case TextBoxKeys::Edit::DeleteLine:
        selectAll();
        cut();
        break;
    case TextBoxKeys::Edit::Type: insertTyped(event->text()); break;
    default: change([&] { m_buffer.removeTo(TextBoxKeys::deletionEnd(edit, m_buffer)); }); break;
    }
    event->accept();
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const bool takesInput = !event->commitString().isEmpty() || event->replacementLength() > 0
                            || event->preeditString() != m_composing.text;
    change([&] {
        if (takesInput && event->replacementLength() == 0) {
            // A commit, or a composition begun, replaces the selection.
            m_buffer.insert(event->commitString());
        } else if (takesInput) {
            m_buffer.removeTo(m_buffer.cursor());
            m_buffer.replace(m_buffer.cursor() + event->replacementStart(), event->replacementLength(),
                             event->commitString());
        }
        for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
            if (attribute.type == QInputMethodEvent::Selection) {
                m_buffer.moveCursor(attribute.start, false);
                m_buffer.moveCursor(attribute.start + attribute.length, true);
            }
        }
        setComposing(event);
    });
    event->accept();
}

void TextBox::setComposing(const QInputMethodEvent *event)
{
    m_composing = {};
    m_composing.text = event->preeditString();
    m_composing.caret = static_cast<int>(m_composing.text.size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            m_composing.caret = attribute.start;
            m_composing.caretShown = attribute.length != 0;
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid())
                m_composing.formats.append({attribute.start, attribute.length, format});
        }
    }
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const qsizetype cursor = m_buffer.cursor();
    const qsizetype from = std::max<qsizetype>(0, cursor - kSurrounding);
    const qsizetype to = std::min(m_buffer.size(), cursor + kSurrounding);
    const qsizetype anchor = std::clamp(m_buffer.anchor(), from, to);
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
        return cursorRect();
    case Qt::ImFont:
        return font();
    case Qt::ImAbsolutePosition:
        return static_cast<int>(cursor);
    case Qt::ImCursorPosition:
        return static_cast<int>(cursor - from);
    case Qt::ImAnchorPosition:
        return static_cast<int>(anchor - from);
    case Qt::ImSurroundingText:
        return m_buffer.text().mid(from, to - from);
    case Qt::ImCurrentSelection:
        return m_buffer.text().mid(std::min(anchor, cursor), std::abs(anchor - cursor));
    case Qt::ImTextBeforeCursor:
        return m_buffer.text().mid(from, cursor - from);
    case Qt::ImTextAfterCursor:
        return m_buffer.text().mid(cursor, to - cursor);
    case Qt::ImMaximumTextLength:
        return m_buffer.maxLength() == kNoLimit ? QVariant() : QVariant(static_cast<int>(m_buffer.maxLength()));
    case Qt::ImReadOnly:
        return false;
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void TextBox::mousePressEvent(QMouseEvent *event)
{
    const qsizetype position = positionAt(event->position().toPoint());
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        setCursorPosition(position);
        insertTyped(QGuiApplication::clipboard()->text(QClipboard::Selection));
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_selecting = true;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    change([&] { m_buffer.moveCursor(position, extend); });
}

void TextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    // Dragged past an edge, the selection goes on a character at a time
    // and the text scrolls with it.
    const QRect &line = m_view.line();
    const qreal x = event->position().x();
    qsizetype position = m_view.positionAt(x);
    if (x < line.left())
        position = m_buffer.previousCharacter(m_view.first());
    else if (x > line.right())
        position = m_buffer.nextCharacter(m_view.positionAt(line.right()));
    change([&] { m_buffer.moveCursor(position, true); });
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_selecting = false;
        copyToSelection();
    }
}

void TextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const auto [start, end] = m_buffer.wordAt(positionAt(event->position().toPoint()));
    setSelection(start, end - start);
    copyToSelection();
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const auto add = [&](const QString &caption, bool enabled, auto run) {
        QAction *action = menu.addAction(caption);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, run);
    };
    add(QStringLiteral("元に戻す(&U)"), m_buffer.isUndoAvailable(), [this] { undo(); });
    add(QStringLiteral("やり直し(&R)"), m_buffer.isRedoAvailable(), [this] { redo(); });
    menu.addSeparator();
    add(QStringLiteral("切り取り(&T)"), hasSelectedText(), [this] { cut(); });
    add(QStringLiteral("コピー(&C)"), hasSelectedText(), [this] { copy(); });
    add(QStringLiteral("貼り付け(&P)"), !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    add(QStringLiteral("削除(&D)"), hasSelectedText(), [this] { insertTyped(QString()); });
    menu.addSeparator();
    add(QStringLiteral("すべて選択(&A)"), m_buffer.size() > 0, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    // Reached by Tab or an access key, a box offers its whole text.
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        && !hasSelectedText())
        selectAll();
    restartBlink();
    QWidget::focusInEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && hasSelectedText())
        deselect();
    m_blink.stop();
    m_caretOn = false;
    update();
    QWidget::focusOutEvent(event);
}

void TextBox::restartBlink()
{
    m_caretOn = hasFocus();
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (m_caretOn && flash >= 2)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
    update();
}

void TextBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretOn = !m_caretOn;
    update();
}

void TextBox::resizeEvent(QResizeEvent *event)
{
    relayOut();
    QWidget::resizeEvent(event);
}

void TextBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_view.setFont(font());
        relayOut();
    }
    QWidget::changeEvent(event);
}

void TextBox::relayOut()
{
    m_view.setLine(lineRect());
    refresh();
}

void TextBox::refresh()
{
    m_view.follow(m_buffer, m_composing);
    update();
}

void TextBox::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QRect TextBox::lineRect() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    const int height = QFontMetrics(font()).height();
    int top = contents.top() + (contents.height() - height + 1) / 2;
    if (m_alignment & Qt::AlignTop)
        top = contents.top();
    else if (m_alignment & Qt::AlignBottom)
        top = contents.bottom() + 1 - height;
    return {contents.left() + kTextMargin, top, contents.width() - 2 * kTextMargin, height};
}

void TextBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setClipRect(style()->subElementRect(QStyle::SE_LineEditContents, &panel, this));
    const int caretWidth = m_caretOn && hasFocus() ? style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this) : 0;
    m_view.draw(painter, palette(), m_buffer.selectionStart(), m_buffer.selectionEnd(), caretWidth);
}

QSize TextBox::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const QSize text(metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * kTextMargin, metrics.height() + 2);
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
}

QSize TextBox::minimumSizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const QSize text(metrics.maxWidth() + 2 * kTextMargin, metrics.height() + 2);
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
}

} // namespace kakeibo
