// frmAbout, the version window: the icon, the product line, the version line
// built from the version numbers, a rule and a greeting. It takes no input;
// only its close box (or Alt+F4) closes it, and "Icon.ico" is read anew at
// every opening.
#pragma once

#include "FormBase.h"

class QFrame;
class QLabel;

namespace kakeibo {

class frmAbout : public FormBase {
    Q_OBJECT

public:
    explicit frmAbout(Frame &frame);

    void Form_Load() override;

private:
    QLabel *Label2 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *lblAbout = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *imgIcon = nullptr;
};

} // namespace kakeibo
