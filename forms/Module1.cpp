#include "Module1.h"

#include "Amount.h"
#include "Frame.h"
#include "Messages.h"
#include "UiNames.h"
#include "NamesFile.h"
#include "TotalsFile.h"

#include <QLineEdit>

namespace kakeibo::Module1 {

TotalsFormat::Totals KingakuData{};
Names KoumokuData{};

namespace {

const QString kTotalsFile = QStringLiteral("MD.dat");
const QString kNamesFile = QStringLiteral("Item.dat");

// A control of a window, by window and control name (loading the window).
template <typename T>
T *control(const QString &window, const QString &name, int slot = -1)
{
    return Frame::current().windows().control<T>(window, name, slot);
}

void setCaption(const QString &window, const QString &name, int slot, const QString &caption)
{
    Frame::current().writer().setCaption(control<QWidget>(window, name, slot), caption);
}

void setText(const QString &window, const QString &name, int slot, const QString &text)
{
    Frame::current().writer().setText(control<QLineEdit>(window, name, slot), text);
}

[[noreturn]] void refuseBooking(int slot, int32_t amount)
{
    throw Refusal(Messages::bookingPastRange(KoumokuData[slot], Amount::toText(KingakuData[slot]),
                                             Amount::toText(amount)));
}

} // namespace

QStringList bookFiles(const Frame &frame)
{
    return {frame.appFile(kTotalsFile), frame.appFile(kNamesFile)};
}

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
        setCaption(Ui::frmIO, Ui::lblKoumoku, slot, KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        setCaption(Ui::frmIO, Ui::optKoumoku, slot, KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        setCaption(Ui::frmTeisei, Ui::lblKoumoku, slot, KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        setText(Ui::frmKoumoku, Ui::txtKoumoku, slot, KoumokuData[slot]);
}

void SaveKoumoku()
{
    Frame &frame = Frame::current();
    frame.trace().add(QStringLiteral("SaveKoumoku"));
    Names typed;
    for (int slot = 0; slot < kSlotCount; ++slot)
        typed[slot] = control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot)->text();
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
        setText(Ui::frmTeisei, Ui::txtKoumoku, slot, Amount::toText(KingakuData[slot]));
}

void SaveTeisei()
{
    Frame &frame = Frame::current();
    frame.trace().add(QStringLiteral("SaveTeisei"));
    TotalsFormat::Totals typed{};
    for (int slot = 0; slot < kSlotCount; ++slot)
        typed[slot] = valueOrRaise(Amount::fromText(control<QLineEdit>(Ui::frmTeisei, Ui::txtKoumoku, slot)->text()));
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
    const int64_t grand = grandTotal(KingakuData);
    for (int slot = 0; slot < kSlotCount; ++slot)
        setCaption(Ui::frmIO, Ui::lblKingaku, slot, Amount::toText(KingakuData[slot]));
    setCaption(Ui::frmIO, Ui::lblGoukei, -1, Amount::toText(grand));
}

} // namespace kakeibo::Module1
