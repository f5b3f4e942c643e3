// The entry window's design: every position and size in twips, measured
// from the top-left corner of the control's container (the client area
// below the menu bar, or a frame). Rows of six are indexed by slot.
#pragma once

#include "Slots.h"
#include "Twips.h"

#include <array>

namespace kakeibo::frmIOLayout {

constexpr TwipsSize kClient{6195, 3990};

constexpr TwipsRect kCmdInput{1320, 3480, 1095, 360};
constexpr TwipsRect kFrame2{3120, 240, 2895, 3375};
constexpr TwipsRect kLblGoukei{1155, 2850, 1500, 330};
constexpr TwipsLine kLine2{120, 2640, 2640, 2640};
constexpr TwipsRect kLabel2{480, 2880, 480, 270};
constexpr TwipsRect kFrame1{360, 720, 2055, 2655};
constexpr TwipsRect kTxtKingaku{840, 120, 1695, 375};
constexpr TwipsLine kLine1{2760, 120, 2760, 3840};
constexpr TwipsRect kLabel1{240, 195, 525, 270};

// In Frame2.
constexpr std::array<TwipsRect, kSlotCount> kLblKingaku{{
    {1155, 330, 1500, 330},
    {1155, 690, 1500, 330},
    {1155, 1050, 1500, 330},
    {1155, 1410, 1500, 330},
    {1155, 1770, 1500, 330},
    {1155, 2130, 1500, 330},
}};

// In Frame2.
constexpr std::array<TwipsRect, kSlotCount> kLblKoumoku{{
    {480, 360, 480, 270},
    {480, 720, 480, 270},
    {240, 1080, 720, 270},
    {240, 1440, 720, 270},
    {240, 1800, 720, 270},
    {240, 2160, 720, 270},
}};

// In Frame1.
constexpr std::array<TwipsRect, kSlotCount> kOptKoumoku{{
    {120, 360, 1575, 345},
    {120, 720, 1575, 345},
    {120, 1080, 1575, 345},
    {120, 1440, 1575, 345},
    {120, 1800, 1575, 345},
    {120, 2160, 1575, 345},
}};

} // namespace kakeibo::frmIOLayout
