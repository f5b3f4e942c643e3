// The fonts of the windows, chosen from the installed Japanese faces.
//
// The windows were designed for "FixedSys" (a fixed-pitch face), "ＦＡ 隷書Ｍ"
// (a clerical-script face, for the booking button) and "ＭＳ Ｐ明朝" (a
// proportional Mincho). Each font asks for its designed face first, so that
// a machine that has it uses it, and then for the nearest installed face of
// the same size and weight. Qt reports no Japanese face as fixed pitch, so
// the pitch of the fallback is measured from glyph widths.
#pragma once

#include <QFont>

namespace kakeibo::Fonts {

// The nearest fixed-pitch Japanese face, 13.5 pt, of the given weight.
QFont fixedSys(QFont::Weight weight = QFont::Normal);

// The face for the booking button: a Mincho, 14.25 pt bold.
QFont reisho();

// The nearest proportional Mincho, 11.25 pt.
QFont proportionalMincho();

// Whether the face's Latin and Japanese glyphs all advance by one cell.
bool isFixedPitch(const QFont &font);

} // namespace kakeibo::Fonts
