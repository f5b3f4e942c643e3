#include "frmTeisei.h"

#include "Amount.h"
#include "Captions.h"
#include "Controls.h"
#include "Fonts.h"
#include "Module1.h"
#include "UiNames.h"
#include "frmTeiseiLayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace kakeibo {

using namespace frmTeiseiLayout;

frmTeisei::frmTeisei(Frame &frame) : FormBase(frame, Ui::frmTeisei)
{
    setWindowTitle(QStringLiteral("訂正"));
    setFont(Fonts::fixedSys());
    setClientSize(toPixels(kClient));

    cmdTeisei = Controls::defaultButton(this, Ui::cmdTeisei, QStringLiteral("訂正(&K)"), kCmdTeisei);
    cmdTeisei->setFont(Fonts::fixedSys(QFont::Bold));
    cmdTeisei->setEnabled(false);
    for (int slot = kSlotCount - 1; slot >= 0; --slot) {
        QLineEdit *field = Controls::textBox(this, Controls::arrayName(Ui::txtKoumoku, slot),
                                             QStringLiteral("0"), kTxtKoumoku[slot], kFieldMaxLength);
        field->setAlignment(Qt::AlignRight);
        txtKoumoku[slot] = field;
    }
    for (int slot = kSlotCount - 1; slot >= 0; --slot) {
        lblKoumoku[slot] = Controls::label(this, Controls::arrayName(Ui::lblKoumoku, slot),
                                           QStringLiteral("食費"), kLblKoumoku[slot], Qt::AlignRight,
                                           Controls::LabelSizing::FitRightFixed);
        lblKoumoku[slot]->setBuddy(txtKoumoku[slot]);
        // Screen readers speak each field with its category: "食費の合計".
        Captions::nameAfter(txtKoumoku[slot], lblKoumoku[slot], QStringLiteral("の合計"));
    }
    setTabOrderList({txtKoumoku[0], txtKoumoku[1], txtKoumoku[2], txtKoumoku[3], txtKoumoku[4], txtKoumoku[5],
                     cmdTeisei});

    for (int slot = 0; slot < kSlotCount; ++slot)
        connect(txtKoumoku[slot], &QLineEdit::textChanged, this,
                handler([this, slot] { txtKoumoku_Change(slot); }));
    connect(cmdTeisei, &QPushButton::clicked, this, handler([this] { cmdTeisei_Click(); }));
}

void frmTeisei::Form_Load()
{
    setWindowIcon(loadIcon());
    Module1::LoadTeisei();
}

void frmTeisei::Form_Unload()
{
    Module1::LoadKingaku();
}

// The field check: "訂正(&K)" is enabled exactly when no field is empty and
// every field converts to an amount. Nothing is reported.
void frmTeisei::txtKoumoku_Change(int)
{
    bool anyEmpty = false;
    for (const QLineEdit *field : txtKoumoku)
        anyEmpty = anyEmpty || field->text().isEmpty();
    if (anyEmpty) {
        cmdTeisei->setEnabled(false);
        return;
    }
    const bool allConvert = std::all_of(txtKoumoku.begin(), txtKoumoku.end(), [](const QLineEdit *field) {
        return Amount::fromText(field->text()).ok();
    });
    cmdTeisei->setEnabled(allConvert);
}

void frmTeisei::cmdTeisei_Click()
{
    Module1::SaveTeisei();
    Module1::LoadKingaku();
    frame().windows().unload(Ui::frmTeisei);
}

} // namespace kakeibo
