// frmKoumoku, the category-name window: six fields holding the six category
// names and the button "変更", which saves them to "Item.dat" and shows them
// in every window. The field check keeps "変更" enabled exactly while none
// of the six fields is empty. Closing it with the close box changes nothing.
#pragma once

#include "FormBase.h"
#include "Slots.h"

#include <array>

class QLineEdit;
class QPushButton;

namespace kakeibo {

class frmKoumoku : public FormBase {
    Q_OBJECT

public:
    explicit frmKoumoku(Frame &frame);

    void Form_Load() override;

private:
    void txtKoumoku_Change(int index);
    void cmdTeisei_Click();

    QPushButton *cmdTeisei = nullptr;
    std::array<QLineEdit *, kSlotCount> txtKoumoku{};
};

} // namespace kakeibo
