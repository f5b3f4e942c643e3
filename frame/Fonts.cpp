#include "Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

namespace kakeibo::Fonts {
namespace {

constexpr qreal kFixedSysPoints = 13.5;
constexpr qreal kReishoPoints = 14.25;
constexpr qreal kMinchoPoints = 11.25;

// Japanese and Latin text need no shaping: their glyphs come straight from
// the font's table, at half the cost (a line edit shapes its whole text at
// every layout and every paint, so a long name costs twice as much shaped).
// Scripts that need shaping are shaped all the same.
QFont face(const QString &family, qreal points, QFont::Weight weight)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The designed face first, then the fallback that this machine has.
QFont designed(const char *designFace, const QString &fallback, qreal points, QFont::Weight weight)
{
    QFont font = face(fallback, points, weight);
    font.setFamilies(QStringList{QString::fromUtf8(designFace), fallback});
    return font;
}

bool isInstalled(const QFont &font, const QString &family)
{
    return QFontInfo(font).family() == family;
}

bool hasJapanese(const QFont &font)
{
    const QFontMetrics metrics(font);
    return metrics.inFontUcs4(U'食') && metrics.inFontUcs4(U'ｱ');
}

// The first candidate that is installed, shows Japanese and has the wanted
// pitch; the system's fixed or general face when none has.
QFont choose(std::initializer_list<const char *> candidates, bool fixedPitch)
{
    for (const char *family : candidates) {
        const QFont font = face(QString::fromUtf8(family), kFixedSysPoints, QFont::Normal);
        if (isInstalled(font, font.family()) && hasJapanese(font) && isFixedPitch(font) == fixedPitch)
            return font;
    }
    return QFontDatabase::systemFont(fixedPitch ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
}

const QFont &fixedFace()
{
    // Windows' own Japanese faces stand in on a Windows that lacks the
    // designed ones.
    static const QFont font = choose({"IPAGothic", "IPAMincho", "Noto Sans Mono CJK JP", "VL Gothic", "MS Gothic"}, true);
    return font;
}

const QFont &proportionalMinchoFace()
{
    static const QFont font = choose({"IPAPMincho", "IPAexMincho", "Noto Serif CJK JP", "MS PMincho"}, false);
    return font;
}

} // namespace

bool isFixedPitch(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int cell = metrics.horizontalAdvance(QLatin1Char('i'));
    return cell > 0 && metrics.horizontalAdvance(QLatin1Char('W')) == cell
           && metrics.horizontalAdvance(QStringLiteral("食")) == 2 * cell;
}

QFont fixedSys(QFont::Weight weight)
{
    return designed("FixedSys", fixedFace().family(), kFixedSysPoints, weight);
}

QFont reisho()
{
    const QFont mincho = face(QStringLiteral("IPAMincho"), kReishoPoints, QFont::Bold);
    const QString fallback = isInstalled(mincho, mincho.family()) ? mincho.family() : fixedFace().family();
    return designed("ＦＡ 隷書Ｍ", fallback, kReishoPoints, QFont::Bold);
}

QFont proportionalMincho()
{
    return designed("ＭＳ Ｐ明朝", proportionalMinchoFace().family(), kMinchoPoints, QFont::Normal);
}

} // namespace kakeibo::Fonts
