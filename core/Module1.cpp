#include "Module1.h"

#include "Amount.h"
#include "Frame.h"
#include "NamesFile.h"
#include "TotalsFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace kakeibo::Module1 {

TotalsFormat::Totals KingakuData{};
Names KoumokuData{};

namespace {

const QString kEntryWindow = QStringLiteral("frmIO");
const QString kTotalsFile = QStringLiteral("MD.dat");
const QString kNamesFile = QStringLiteral("Item.dat");
const QString kNamesWindow = QStringLiteral("frmKoumoku");
const QString kNameFields = QStringLiteral("txtKoumoku");
const QString kCorrectionWindow = QStringLiteral("frmTeisei");
const QString kTotalFields = QStringLiteral("txtKoumoku");

[[noreturn]] void refuseBooking(int slot, int32_t amount)
{
    throw Refusal(QStringLiteral("「%1」の合計 %2 円に %3 円を加えると、この家計簿で扱える金額の範囲 "
                                 "(-2147483648 ～ 2147483647 円) を超えます。\n\n"
                                 "この金額は入力しませんでした。金額を確かめてください。")
                      .arg(KoumokuData[slot], Amount::toText(KingakuData[slot]), Amount::toText(amount)));
}

QString unstorableText(const NamesFormat::Unstorable &bad)
{
    const QString field = QStringLiteral("上から %1 番目の項目名").arg(bad.slot + 1);
    if (bad.character == QLatin1String("\""))
        return QStringLiteral("%1に半角の二重引用符「\"」があります。この文字は項目名に使えません "
                              "(全角の「＂」は使えます)。").arg(field);
    if (bad.character == QLatin1String("\r") || bad.character == QLatin1String("\n"))
        return QStringLiteral("%1に改行があります。項目名は 1 行で入力してください。").arg(field);
    const uint codePoint = bad.character.toUcs4().value(0);
    const QString code = QString::number(codePoint, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    if (bad.character.front().category() == QChar::Other_Control)
        return QStringLiteral("%1に制御文字 (U+%2、タブなど) があります。この文字は項目名に使えません。").arg(field, code);
    if (bad.character == QStringLiteral("¥"))
        return QStringLiteral("%1の「¥」(U+00A5) は、項目名のファイルに保存できない文字です "
                              "(全角の「￥」は使えます)。").arg(field);
    return QStringLiteral("%1の「%2」(U+%3) は、項目名のファイルに保存できない文字です。")
        .arg(field, bad.character, code);
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
    Frame::current().addTrace(QStringLiteral("SaveKingaku"));
    raiseIf(TotalsFile::save(Frame::current().appFile(kTotalsFile), KingakuData));
}

void LoadKingaku()
{
    Frame::current().addTrace(QStringLiteral("LoadKingaku"));
    KingakuData = valueOrRaise(TotalsFile::load(Frame::current().appFile(kTotalsFile)));
    ShowKingaku();
}

void LoadKoumoku()
{
    Frame &frame = Frame::current();
    frame.addTrace(QStringLiteral("LoadKoumoku"));
    KoumokuData = valueOrRaise(NamesFile::load(frame.appFile(kNamesFile)));
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.setCaption(frame.control<QLabel>(kEntryWindow, QStringLiteral("lblKoumoku"), slot), KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.setCaption(frame.control<QRadioButton>(kEntryWindow, QStringLiteral("optKoumoku"), slot),
                         KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.setCaption(frame.control<QLabel>(kCorrectionWindow, QStringLiteral("lblKoumoku"), slot),
                         KoumokuData[slot]);
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.setText(frame.control<QLineEdit>(kNamesWindow, kNameFields, slot), KoumokuData[slot]);
}

void SaveKoumoku()
{
    Frame &frame = Frame::current();
    frame.addTrace(QStringLiteral("SaveKoumoku"));
    Names typed;
    for (int slot = 0; slot < kSlotCount; ++slot)
        typed[slot] = frame.control<QLineEdit>(kNamesWindow, kNameFields, slot)->text();
    typed = NamesFormat::mapInputMethodVariants(typed);
    if (const auto bad = NamesFormat::findUnstorable(typed))
        throw Refusal(unstorableText(*bad) + QStringLiteral("\n\n項目名は保存しませんでした。"));
    KoumokuData = typed;
    raiseIf(NamesFile::save(frame.appFile(kNamesFile), KoumokuData));
}

void LoadTeisei()
{
    Frame &frame = Frame::current();
    frame.addTrace(QStringLiteral("LoadTeisei"));
    KingakuData = valueOrRaise(TotalsFile::load(frame.appFile(kTotalsFile)));
    LoadKoumoku();
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.setText(frame.control<QLineEdit>(kCorrectionWindow, kTotalFields, slot),
                      Amount::toText(KingakuData[slot]));
}

void SaveTeisei()
{
    Frame &frame = Frame::current();
    frame.addTrace(QStringLiteral("SaveTeisei"));
    TotalsFormat::Totals typed{};
    for (int slot = 0; slot < kSlotCount; ++slot)
        typed[slot] = valueOrRaise(
            Amount::fromText(frame.control<QLineEdit>(kCorrectionWindow, kTotalFields, slot)->text()));
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
        frame.setCaption(frame.control<QLabel>(kEntryWindow, QStringLiteral("lblKingaku"), slot),
                         Amount::toText(KingakuData[slot]));
    frame.setCaption(frame.control<QLabel>(kEntryWindow, QStringLiteral("lblGoukei")), Amount::toText(grand));
}

} // namespace kakeibo::Module1
