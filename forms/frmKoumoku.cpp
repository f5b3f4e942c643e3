#include "frmKoumoku.h"

#include "Controls.h"
#include "Fonts.h"
#include "Module1.h"
#include "UiNames.h"
#include "frmKoumokuLayout.h"

#include <QLineEdit>
#include <QPushButton>

namespace kakeibo {

using namespace frmKoumokuLayout;

frmKoumoku::frmKoumoku(Frame &frame) : FormBase(frame, Ui::frmKoumoku)
{
    setWindowTitle(QStringLiteral("項目変更"));
    setFont(Fonts::fixedSys());
    setClientSize(toPixels(kClient));

    cmdTeisei = Controls::defaultButton(this, Ui::cmdTeisei, QStringLiteral("変更"), kCmdTeisei);
    for (int slot = kSlotCount - 1; slot >= 0; --slot) {
        txtKoumoku[slot] = Controls::textBox(this, Controls::arrayName(Ui::txtKoumoku, slot),
                                             QString(), kTxtKoumoku[slot]);
        txtKoumoku[slot]->setAccessibleName(QStringLiteral("上から %1 番目の項目名").arg(slot + 1));
    }
    setTabOrderList({txtKoumoku[0], txtKoumoku[1], txtKoumoku[2], txtKoumoku[3], txtKoumoku[4], txtKoumoku[5],
                     cmdTeisei});

    for (int slot = 0; slot < kSlotCount; ++slot)
        connect(txtKoumoku[slot], &QLineEdit::textChanged, this,
                handler([this, slot] { txtKoumoku_Change(slot); }));
    connect(cmdTeisei, &QPushButton::clicked, this, handler([this] { cmdTeisei_Click(); }));
}

void frmKoumoku::Form_Load()
{
    setWindowIcon(loadIcon());
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame().writer().setText(txtKoumoku[slot], Module1::KoumokuData[slot]);
}

// The field check: "変更" is enabled exactly when no field is empty (a name
// of spaces is not empty).
void frmKoumoku::txtKoumoku_Change(int)
{
    bool anyEmpty = false;
    for (const QLineEdit *field : txtKoumoku)
        anyEmpty = anyEmpty || field->text().isEmpty();
    cmdTeisei->setEnabled(!anyEmpty);
}

void frmKoumoku::cmdTeisei_Click()
{
    Module1::SaveKoumoku();
    Module1::LoadKoumoku();
    frame().windows().unload(Ui::frmKoumoku);
}

} // namespace kakeibo
