#include "FormBase.h"

#include "Picture.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QWindow>

namespace kakeibo {

FormBase::FormBase(Frame &frame, const QString &name)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint)
    , m_frame(frame)
    , m_name(name)
{
    setObjectName(name);
    setSizeGripEnabled(false);
}

QPixmap FormBase::loadIcon()
{
    return valueOrRaise(Picture::load(m_frame.appFile(QStringLiteral("Icon.ico"))));
}

void FormBase::setClientSize(const QSize &client, int menuHeight)
{
    setFixedSize(client.width(), client.height() + menuHeight);
}

void FormBase::setTabOrderList(std::initializer_list<QWidget *> controls)
{
    m_tabOrder = controls;
    for (qsizetype i = 1; i < m_tabOrder.size(); ++i)
        QWidget::setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

void FormBase::onCommand(QAction *entry, std::function<void()> fn)
{
    connect(entry, &QAction::triggered, this, [this, entry, fn] {
        for (QObject *shownIn : entry->associatedObjects()) {
            // A menu bar lets go of an entry without a menu when the pointer
            // leaves it, whether the entry was chosen by key or by click.
            if (auto *bar = qobject_cast<QMenuBar *>(shownIn)) {
                QEvent left(QEvent::Leave);
                QCoreApplication::sendEvent(bar, &left);
            }
        }
        m_frame.handlers().runCommand(fn);
    });
}

void FormBase::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormBase::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_frame.handlers().run([this] { m_frame.windows().unload(m_name); });
}

void FormBase::showEvent(QShowEvent *event)
{
    // The native window exists and is not yet mapped: the owner set now is
    // the one the desktop is told of.
    if (windowHandle())
        windowHandle()->setTransientParent(m_owner ? m_owner->windowHandle() : nullptr);
    QDialog::showEvent(event);
    if (std::exchange(m_shownBefore, true))
        return;
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->setEchoMode(QLineEdit::Normal);
    for (QWidget *control : std::as_const(m_tabOrder)) {
        if (control->isEnabled() && control->focusPolicy() != Qt::NoFocus) {
            control->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

} // namespace kakeibo
