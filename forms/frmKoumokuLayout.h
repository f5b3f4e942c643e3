// The category-name window's design in twips, from the top-left corner of
// its client area. The six fields stand one below the other, slot 0 on top.
#pragma once

#include "Slots.h"
#include "Twips.h"

#include <array>

namespace kakeibo::frmKoumokuLayout {

constexpr TwipsSize kClient{1815, 3615};

constexpr TwipsRect kCmdTeisei{240, 3120, 1335, 375};

constexpr std::array<TwipsRect, kSlotCount> kTxtKoumoku{{
    {240, 240, 1335, 405},
    {240, 720, 1335, 405},
    {240, 1200, 1335, 405},
    {240, 1680, 1335, 405},
    {240, 2160, 1335, 405},
    {240, 2640, 1335, 405},
}};

} // namespace kakeibo::frmKoumokuLayout
