// The version window's design in twips, from the top-left corner of its
// client area.
#pragma once

#include "Twips.h"

namespace kakeibo::frmAboutLayout {

constexpr TwipsSize kClient{4095, 1620};

constexpr TwipsRect kLabel2{240, 960, 2175, 495};
constexpr TwipsLine kLine1{240, 840, 3960, 840};
constexpr TwipsRect kLblAbout{2280, 480, 735, 225};
constexpr TwipsRect kLabel1{960, 240, 2895, 225};
constexpr TwipsRect kImgIcon{240, 240, 495, 495};

} // namespace kakeibo::frmAboutLayout
