#include "Program.h"

#include "EndSignals.h"
#include "FileService.h"
#include "Frame.h"
#include "InstanceGuard.h"
#include "Module1.h"
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
                m_guard.listen([this] { m_frame.bringToFront(frmIO::kName); });
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
    if (lock.state() == BookLock::State::HeldByAnotherCopy
        && InstanceGuard(frame.applicationDirectory(), lock.identity()).askToComeForward())
        return 0;
    frame.reportError(lock.error());
    return frame.exitCode();
}

} // namespace

int runProgram(const QString &applicationDirectory)
{
    Frame frame(applicationDirectory);
    const BookLock lock(applicationDirectory);
    if (lock.state() != BookLock::State::Held)
        return refuseStart(frame, lock);
    const EndSignals endOnSignal([&frame] { frame.run([&frame] { frame.end(0); }); });
    if (!startProgram(frame))
        return frame.exitCode();
    InstanceGuard guard(applicationDirectory, lock.identity());
    ListenWhenExposed listenLater(frame, guard);
    frame.loadedForm(frmIO::kName)->windowHandle()->installEventFilter(&listenLater);
    return QApplication::exec();
}

bool startProgram(Frame &frame)
{
    frame.registerForm(frmIO::kName, [](Frame &f) { return new frmIO(f); });
    frame.registerForm(frmTeisei::kName, [](Frame &f) { return new frmTeisei(f); });
    frame.registerForm(frmKoumoku::kName, [](Frame &f) { return new frmKoumoku(f); });
    frame.registerForm(frmAbout::kName, [](Frame &f) { return new frmAbout(f); });
    Module1::reset();
    return frame.start(frmIO::kName);
}

} // namespace kakeibo
