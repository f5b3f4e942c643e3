// Conversions between amounts and their texts.
//
// An amount is a signed 32-bit count of yen. Text to amount accepts what a
// Japanese keyboard produces with the input method on or off:
//   [spaces] [sign] digits [spaces]
// spaces: U+0020 or U+3000; sign: "-", "+", "＋", "－" (U+FF0D), "−" (U+2212);
// digits: 0-9 or ０-９, mixed freely, optionally grouped by "," or "，" with a
// first group of one to three digits and every later group of exactly three.
// Nothing else converts: yen have no fractions.
#pragma once

#include "Error.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace kakeibo::Amount {

// The converted amount; Conversion for empty or non-numeric text, Overflow
// for a number outside the signed 32-bit range.
Expected<int32_t> fromText(QStringView text);

// Decimal digits with a leading "-" when negative: no grouping, no padding.
QString toText(int64_t amount);

// At least two digits, padded with a leading "0" (5 gives "05", 120 "120").
QString twoDigits(int value);

// The sum when it fits in 32 bits; nothing when it would overflow.
std::optional<int32_t> checkedAdd(int32_t a, int32_t b);

} // namespace kakeibo::Amount
