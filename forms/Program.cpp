#include "Program.h"

#include "Frame.h"
#include "Module1.h"
#include "frmIO.h"

namespace kakeibo {

bool startProgram(Frame &frame)
{
    frame.registerForm(frmIO::kName, [](Frame &f) { return new frmIO(f); });
    Module1::reset();
    return frame.start(frmIO::kName);
}

} // namespace kakeibo
