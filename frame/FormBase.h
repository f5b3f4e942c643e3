// The base of every window: a fixed-size dialog that the frame loads,
// shows and unloads.
//
// Behaviour common to the four windows lives here: the fixed frame with a
// close box and no minimise or maximise button; Esc does nothing (a QDialog
// would hide itself); the close box unloads the window through the frame;
// the first showing puts the focus into the first control of the window's
// tab order; every handler runs inside HandlerRunner::run(); and the text
// boxes of a window lay out their text only once it is shown.
#pragma once

#include "Frame.h"

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QList>

#include <functional>
#include <initializer_list>

class QAction;

namespace kakeibo {

class FormBase : public QDialog {
    Q_OBJECT

public:
    FormBase(Frame &frame, const QString &name);

    // Runs when the window is created, after its design-time controls exist.
    virtual void Form_Load() {}
    // Runs when the window is unloaded (close box or code), before it goes.
    virtual void Form_Unload() {}

    // The window this one belongs to while it is shown (a modal window's
    // owner), which desktops keep it above and may attach it to: X11 gets
    // WM_TRANSIENT_FOR, Wayland the xdg parent.
    void setOwner(QWidget *owner) { m_owner = owner; }

protected:
    Frame &frame() { return m_frame; }

    // Reads "Icon.ico" of the application directory anew; a missing or
    // broken file raises the error that names it.
    QPixmap loadIcon();

    // Fixes the client area (below any menu bar of height menuHeight).
    void setClientSize(const QSize &client, int menuHeight = 0);

    // The tab order, first control first; labels and frames are left out.
    void setTabOrderList(std::initializer_list<QWidget *> controls);

    // A slot that runs fn as an event handler, inside HandlerRunner::run(); the
    // signal's arguments are not passed on.
    template <typename Fn>
    auto handler(Fn fn)
    {
        return [this, fn](auto &&...) { m_frame.handlers().run(fn); };
    }

    // Runs fn as the command of a menu entry: at once, inside the key or
    // click that chose it, as HandlerRunner::runCommand runs commands. A
    // window it shows modally is open before the next key is read, so that
    // keys typed ahead go to that window or, where the desktop still sends
    // them to this one, are dropped there (it is blocked), and never land
    // here. The menu bar is put at rest first: left in the middle of its
    // key or click while the window is open, it would stay highlighted.
    void onCommand(QAction *entry, std::function<void()> fn);

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Frame &m_frame;
    QString m_name;
    QList<QWidget *> m_tabOrder;
    QPointer<QWidget> m_owner;
    bool m_shownBefore = false;
};

} // namespace kakeibo
