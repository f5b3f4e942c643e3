#include "Program.h"

#include "Frame.h"
#include "Module1.h"
#include "frmAbout.h"
#include "frmIO.h"
#include "frmKoumoku.h"
#include "frmTeisei.h"

namespace kakeibo {

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
