#include "Module1.h"

#include "Amount.h"
#include "Frame.h"
#include "TotalsFile.h"

#include <QLabel>
#include <QRadioButton>

namespace kakeibo::Module1 {

TotalsFormat::Totals KingakuData{};
Names KoumokuData{};

namespace {

const QString kEntryWindow = QStringLiteral("frmIO");
const QString kTotalsFile = QStringLiteral("MD.dat");

// The name the user sees on the slot's option button.
QString categoryName(int slot)
{
    if (!KoumokuData[slot].isEmpty())
        return KoumokuData[slot];
    auto *option = Frame::current().control<QRadioButton>(kEntryWindow, QStringLiteral("optKoumoku"), slot);
    return Frame::plainCaption(option->text());
}

[[noreturn]] void refuseBooking(int slot, int32_t amount)
{
    throw Refusal(QStringLiteral("「%1」の合計 %2 円に %3 円を加えると、この家計簿で扱える金額の範囲 "
                                 "(-2147483648 ～ 2147483647 円) を超えます。\n\n"
                                 "この金額は入力しませんでした。金額を確かめてください。")
                      .arg(categoryName(slot), Amount::toText(KingakuData[slot]), Amount::toText(amount)));
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
    raiseIf(TotalsFile::save(Frame::current().appFile(kTotalsFile), KingakuData));
}

void LoadKingaku()
{
    KingakuData = valueOrRaise(TotalsFile::load(Frame::current().appFile(kTotalsFile)));
    ShowKingaku();
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
        frame.setCaption(frame.control<QLabel>(kEntryWindow, QStringLiteral("lblKingaku"), slot),
                         Amount::toText(KingakuData[slot]));
    frame.setCaption(frame.control<QLabel>(kEntryWindow, QStringLiteral("lblGoukei")), Amount::toText(grand));
}

} // namespace kakeibo::Module1
