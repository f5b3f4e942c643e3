#include "Program.h"

#include "Frame.h"
#include "Module1.h"
#include "frmIO.h"
#include "frmKoumoku.h"

namespace kakeibo {

bool startProgram(Frame &frame)
{
    frame.registerForm(frmIO::kName, [](Frame &f) { return new frmIO(f); });
    frame.registerForm(frmKoumoku::kName, [](Frame &f) { return new frmKoumoku(f); });
    Module1::reset();
    return frame.start(frmIO::kName);
}

} // namespace kakeibo
