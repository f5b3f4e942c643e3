// Module1: the account book's two records and the routines that move them
// between the files and the windows.
//
// KingakuData holds the six totals and is the image of "MD.dat";
// KoumokuData holds the six category names of "Item.dat". The routines
// write straight into the windows' controls by window and control name, so
// the windows never keep a copy of either record.
#pragma once

#include "NamesFormat.h"
#include "TotalsFormat.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace kakeibo {
class Frame;
}

namespace kakeibo::Module1 {

using Names = NamesFormat::Names;

extern TotalsFormat::Totals KingakuData;
extern Names KoumokuData;

// The records as the program starts: six zero totals, six empty names.
void reset();

// The book's two files, as they lie in the frame's application directory:
// "MD.dat" (made at the first start) first, then "Item.dat".
QStringList bookFiles(const Frame &frame);

// Books an amount into a slot's total, shows the totals and writes "MD.dat"
// durably. A slot outside 0 to 5 changes no total but still shows and
// writes. A booking that would take the total outside the signed 32-bit
// range is refused (Refusal) and changes nothing, on screen or on disk.
void AddKingaku(int32_t amount, int16_t slot);

// Writes the six totals to "MD.dat" and forces them onto the disk.
void SaveKingaku();

// Reads "MD.dat" (created empty when missing) and shows the totals.
void LoadKingaku();

// The six totals and their grand total onto the entry window. The grand
// total is summed in 64 bits, so no set of valid totals can fail to show.
void ShowKingaku();

// Reads "Item.dat" into KoumokuData and writes the names into every window
// that shows them, in this order: the entry window's labels, its option
// buttons, the correction window's labels, the category-name window's
// fields. A write into an unloaded window loads it.
void LoadKoumoku();

// Takes the six fields of the category-name window as the new names and
// replaces "Item.dat" with them. Names the file cannot hold back exactly (a
// character code page 932 lacks, an ASCII double quote, a line break) are
// refused (Refusal) before anything changes.
void SaveKoumoku();

// Reads "MD.dat" into KingakuData, runs LoadKoumoku (which loads the
// correction window when it is unloaded, whose Form_Load runs LoadTeisei
// once more, nested) and writes the six totals into the correction window's
// fields. Shows nothing on the entry window.
void LoadTeisei();

// Takes the six fields of the correction window as the new totals and writes
// "MD.dat" durably. All six are converted before any total changes, so a
// field that does not convert leaves memory and file as they were.
void SaveTeisei();

// The sum of the six totals in slot order.
int64_t grandTotal(const TotalsFormat::Totals &totals);

} // namespace kakeibo::Module1
