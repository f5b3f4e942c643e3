#include "Program.h"

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

// Claims the application directory for this copy once the entry window has
// been exposed, so that loading the guard does not delay the window. Should
// another copy have claimed it in that instant, this one ends quietly: it
// has written nothing yet.
class ClaimWhenExposed : public QObject {
public:
    ClaimWhenExposed(Frame &frame, InstanceGuard &guard) : m_frame(frame), m_guard(guard) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                if (!m_guard.claim())
                    m_frame.run([this] { m_frame.end(0); });
            });
        }
        return false;
    }

private:
    Frame &m_frame;
    InstanceGuard &m_guard;
};

} // namespace

int runProgram(const QString &applicationDirectory)
{
    Frame frame(applicationDirectory);
    InstanceGuard guard(applicationDirectory, [&frame] { frame.bringToFront(frmIO::kName); });
    if (guard.mustAskFirst() && !guard.claim())
        return 0;
    if (!startProgram(frame))
        return frame.exitCode();
    ClaimWhenExposed claimLater(frame, guard);
    if (!guard.claimed())
        frame.loadedForm(frmIO::kName)->windowHandle()->installEventFilter(&claimLater);
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
