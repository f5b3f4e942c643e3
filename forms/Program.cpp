#include "Program.h"

#include "BookLock.h"
#include "FileService.h"
#include "Frame.h"
#include "InstanceGuard.h"
#include "Module1.h"
#include "SessionEnd.h"
#include "UiNames.h"
#include "frmAbout.h"
#include "frmIO.h"
#include "frmKoumoku.h"
#include "frmTeisei.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

namespace kakeibo {
namespace {

// Serves the "come forward" channel once the entry window has been
// exposed, so that loading Qt Network does not delay the window.
class ListenWhenExposed : public QObject {
public:
    ListenWhenExposed(Frame &frame, InstanceGuard &guard) : m_frame(frame), m_guard(guard) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_guard.listen([this](const QString &token) {
                    // A copy showing the error that ends it does not come forward.
                    if (m_frame.handlers().isFailing())
                        return false;
                    m_frame.windows().bringToFront(Ui::frmIO, token);
                    return true;
                });
            });
        }
        return false;
    }

private:
    Frame &m_frame;
    InstanceGuard &m_guard;
};

// A start that does not get the book: another copy holds it (asked to come
// forward, or the user is told when it cannot be reached), or it cannot be
// locked at all. Nothing is read or written.
int refuseStart(Frame &frame, const BookLock &lock)
{
    if (lock.state() == BookLock::State::HeldByAnotherCopy && !lock.heldByAnotherUser()
        && InstanceGuard(frame.applicationDirectory(), lock.identity()).askToComeForward())
        return 0;
    frame.handlers().reportError(lock.error());
    return frame.handlers().exitCode();
}

} // namespace

int runProgram(const QString &applicationDirectory)
{
    Frame frame(applicationDirectory);
    // A signal ends the program as "終了" does from the first moment, also
    // while a refused start shows its message (then with 1, as closing it).
    const SessionEnd endOnSignal([&frame] { frame.handlers().run([&frame] { frame.handlers().end(0); }); });
    BookLock lock(applicationDirectory, Module1::bookFiles(frame));
    if (lock.state() != BookLock::State::Held)
        return refuseStart(frame, lock);
    if (!startProgram(frame))
        return frame.handlers().exitCode();
    InstanceGuard guard(applicationDirectory, lock.identity());
    ListenWhenExposed listenLater(frame, guard);
    frame.windows().loadedForm(Ui::frmIO)->windowHandle()->installEventFilter(&listenLater);
    return QApplication::exec();
}

bool startProgram(Frame &frame)
{
    frame.windows().registerForm(Ui::frmIO, [](Frame &f) { return new frmIO(f); });
    frame.windows().registerForm(Ui::frmTeisei, [](Frame &f) { return new frmTeisei(f); });
    frame.windows().registerForm(Ui::frmKoumoku, [](Frame &f) { return new frmKoumoku(f); });
    frame.windows().registerForm(Ui::frmAbout, [](Frame &f) { return new frmAbout(f); });
    Module1::reset();
    return frame.windows().start(Ui::frmIO);
}

} // namespace kakeibo
