// frmTeisei, the correction window: the six stored totals as editable
// fields beside their category names, and the button "訂正(&K)" that makes
// the typed values the new totals. The field check keeps the button enabled
// exactly while all six fields convert to amounts. Closing the window with
// its close box writes nothing; either way the entry window shows the totals
// of "MD.dat" again as the window goes.
#pragma once

#include "FormBase.h"
#include "Slots.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kakeibo {

class frmTeisei : public FormBase {
    Q_OBJECT

public:
    explicit frmTeisei(Frame &frame);

    void Form_Load() override;
    void Form_Unload() override;

private:
    void txtKoumoku_Change(int index);
    void cmdTeisei_Click();

    QPushButton *cmdTeisei = nullptr;
    std::array<QLineEdit *, kSlotCount> txtKoumoku{};
    std::array<QLabel *, kSlotCount> lblKoumoku{};
};

} // namespace kakeibo
