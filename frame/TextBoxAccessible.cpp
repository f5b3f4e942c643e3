#include "TextBoxAccessible.h"

#include "Captions.h"
#include "TextBox.h"

#include <QAccessibleWidget>

namespace kakeibo::TextBoxAccessible {
namespace {

class Interface : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit Interface(TextBox *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? Captions::shownPart(box()->text()) : QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.selectableText = true;
        return state;
    }

    void selection(int index, int *start, int *end) const override
    {
        const bool selected = index == 0 && box()->hasSelectedText();
        *start = static_cast<int>(selected ? box()->selectionStart() : 0);
        *end = static_cast<int>(selected ? box()->selectionEnd() : 0);
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int start, int end) override { box()->setSelection(start, end - start); }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    QString text(int start, int end) const override { return box()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }

    QRect characterRect(int offset) const override
    {
        const QRect local = box()->characterRect(offset);
        return {box()->mapToGlobal(local.topLeft()), local.size()};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return static_cast<int>(box()->positionAt(box()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { box()->setCursorPosition(start); }
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    TextBox *box() const { return static_cast<TextBox *>(widget()); }
};

QAccessibleInterface *create(const QString &className, QObject *object)
{
    if (className == QLatin1String(TextBox::staticMetaObject.className()) && object && object->isWidgetType())
        return new Interface(static_cast<TextBox *>(object));
    return nullptr;
}

} // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(create);
        return true;
    }();
    Q_UNUSED(installed);
}

void notify(TextBox *box, bool textChanged)
{
    if (!QAccessible::isActive())
        return;
    if (textChanged) {
        QAccessibleValueChangeEvent change(box, Captions::shownPart(box->text()));
        QAccessible::updateAccessibility(&change);
    }
    QAccessibleTextCursorEvent caret(box, box->cursorPosition());
    QAccessible::updateAccessibility(&caret);
}

} // namespace kakeibo::TextBoxAccessible
