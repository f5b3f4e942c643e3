// The correction window's design in twips, from the top-left corner of its
// client area. Each label stands left of its field, 60 twips lower.
#pragma once

#include "Slots.h"
#include "Twips.h"

#include <array>

namespace kakeibo::frmTeiseiLayout {

constexpr TwipsSize kClient{2850, 3900};

constexpr TwipsRect kCmdTeisei{1080, 3240, 1575, 495};

constexpr int kFieldMaxLength = 20;

constexpr std::array<TwipsRect, kSlotCount> kTxtKoumoku{{
    {1080, 240, 1575, 405},
    {1080, 720, 1575, 405},
    {1080, 1200, 1575, 405},
    {1080, 1680, 1575, 405},
    {1080, 2160, 1575, 405},
    {1080, 2640, 1575, 405},
}};

constexpr std::array<TwipsRect, kSlotCount> kLblKoumoku{{
    {495, 300, 480, 270},
    {495, 780, 480, 270},
    {495, 1260, 480, 270},
    {495, 1740, 480, 270},
    {495, 2220, 480, 270},
    {495, 2700, 480, 270},
}};

} // namespace kakeibo::frmTeiseiLayout
