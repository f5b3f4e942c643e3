#include "Module1.h"

#include "Amount.h"
#include "Frame.h"
#include "Messages.h"
#include "UiNames.h"
#include "NamesFile.h"
#include "TotalsFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace kakeibo::Module1 {

TotalsFormat::Totals KingakuData{};
Names KoumokuData{};

namespace {

const QString kTotalsFile = QStringLiteral("MD.dat");
const QString kNamesFile = QStringLiteral("Item.dat");

[[noreturn]] void refuseBooking(int slot, int32_t amount)
{
    throw Refusal(Messages::bookingPastRange(KoumokuData[slot], Amount::toText(KingakuData[slot]),
                                             Amount::toText(amount)));
}

} // namespace

void reset()
{
    KingakuData = {};
    KoumokuData = {};
}

void AddKingaku(int32_t amount, int16_t slot)
{
    if (isSlot(slot)) {
        const auto total = Amount::checkedAdd(KingakuData[slot], amount);
        if (!total)
            refuseBooking(slot, amount);
        KingakuData[slot] = *total;
    }
    ShowKingaku();
    SaveKingaku();
}

void SaveKingaku()
{
    Frame::current().trace().add(QStringLiteral("SaveKingaku"));
    raiseIf(TotalsFile::save(Frame::current().appFile(kTotalsFile), KingakuData));
}

void LoadKingaku()
{
    Frame::current().trace().add(QStringLiteral("LoadKingaku"));
    KingakuData = valueOrRaise(TotalsFile::load(Frame::current().appFile(kTotalsFile)));
    ShowKingaku();
}

void LoadKoumoku()
{
    Frame &frame = Frame::current();
    frame.trace().add(QStringLiteral("LoadKoumoku"));
    KoumokuData = valueOrRaise(NamesFile::load(frame.appFile(kNamesFile)));
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setCaption(frame.windows().control<QLabel>(Ui::frmIO, Ui::lblKoumoku, slot), KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setCaption(frame.windows().control<QRadioButton>(Ui::frmIO, Ui::optKoumoku, slot),
                         KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setCaption(frame.windows().control<QLabel>(Ui::frmTeisei, Ui::lblKoumoku, slot),
                         KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot), KoumokuData[slot]);
}

void SaveKoumoku()
{
    Frame &frame = Frame::current();
    frame.trace().add(QStringLiteral("SaveKoumoku"));
    Names typed;
    for (int slot = 0; slot < kSlotCount; ++slot)
        typed[slot] = frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot)->text();
    typed = NamesFormat::mapInputMethodVariants(typed);
    if (const auto bad = NamesFormat::findUnstorable(typed))
        throw Refusal(Messages::unstorableName(bad->slot, bad->character));
    KoumokuData = typed;
    raiseIf(NamesFile::save(frame.appFile(kNamesFile), KoumokuData));
}

void LoadTeisei()
{
    Frame &frame = Frame::current();
    frame.trace().add(QStringLiteral("LoadTeisei"));
    KingakuData = valueOrRaise(TotalsFile::load(frame.appFile(kTotalsFile)));
    LoadKoumoku();
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmTeisei, Ui::txtKoumoku, slot),
                      Amount::toText(KingakuData[slot]));
}

void SaveTeisei()
{
    Frame &frame = Frame::current();
    frame.trace().add(QStringLiteral("SaveTeisei"));
    TotalsFormat::Totals typed{};
    for (int slot = 0; slot < kSlotCount; ++slot)
        typed[slot] = valueOrRaise(
            Amount::fromText(frame.windows().control<QLineEdit>(Ui::frmTeisei, Ui::txtKoumoku, slot)->text()));
    KingakuData = typed;
    raiseIf(TotalsFile::save(frame.appFile(kTotalsFile), KingakuData));
}

int64_t grandTotal(const TotalsFormat::Totals &totals)
{
    int64_t sum = 0;
    for (int32_t total : totals)
        sum += total;
    return sum;
}

void ShowKingaku()
{
    Frame &frame = Frame::current();
    const int64_t grand = grandTotal(KingakuData);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setCaption(frame.windows().control<QLabel>(Ui::frmIO, Ui::lblKingaku, slot),
                         Amount::toText(KingakuData[slot]));
    frame.writer().setCaption(frame.windows().control<QLabel>(Ui::frmIO, Ui::lblGoukei), Amount::toText(grand));
}

} // namespace kakeibo::Module1
