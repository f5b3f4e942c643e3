// Text to amount is a small hand-written scanner rather than QString::toInt:
// it has to take full-width digits and signs, reject fractions, and check the
// grouping of thousands, none of which QLocale does for yen.
#include "Amount.h"

#include <limits>

namespace kakeibo::Amount {
namespace {

constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
constexpr int64_t kMagnitudeCap = kMax + 2;  // past any valid magnitude

bool isSpace(QChar c) { return c == u' ' || c == u'\u3000'; }
bool isMinus(QChar c) { return c == u'-' || c == u'\uFF0D' || c == u'\u2212'; }
bool isPlus(QChar c) { return c == u'+' || c == u'\uFF0B'; }
bool isSeparator(QChar c) { return c == u',' || c == u'\uFF0C'; }

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'\uFF10' && u <= u'\uFF19')
        return u - u'\uFF10';
    return -1;
}

// Reads the digits and separators of text; the magnitude is capped so that
// no length of text can overflow the scanner itself.
std::optional<int64_t> scanMagnitude(QStringView digits)
{
    int64_t magnitude = 0;
    int groupLength = 0;
    bool grouped = false;
    for (QChar c : digits) {
        if (const int d = digitValue(c); d >= 0) {
            magnitude = std::min(magnitude * 10 + d, kMagnitudeCap);
            ++groupLength;
        } else if (isSeparator(c)) {
            const bool firstGroupOk = !grouped && groupLength >= 1 && groupLength <= 3;
            const bool laterGroupOk = grouped && groupLength == 3;
            if (!firstGroupOk && !laterGroupOk)
                return std::nullopt;
            grouped = true;
            groupLength = 0;
        } else {
            return std::nullopt;
        }
    }
    if (groupLength == 0 || (grouped && groupLength != 3))
        return std::nullopt;
    return magnitude;
}

} // namespace

Expected<int32_t> fromText(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    bool negative = false;
    if (begin < end && (isMinus(text[begin]) || isPlus(text[begin]))) {
        negative = isMinus(text[begin]);
        ++begin;
    }
    const auto magnitude = scanMagnitude(text.mid(begin, end - begin));
    if (!magnitude)
        return Error::conversion(text.toString());
    const int64_t value = negative ? -*magnitude : *magnitude;
    if (value > kMax || value < -kMax - 1)
        return Error::overflow(text.toString());
    return static_cast<int32_t>(value);
}

QString toText(int64_t amount)
{
    return QString::number(amount);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

std::optional<int32_t> checkedAdd(int32_t a, int32_t b)
{
    const int64_t sum = int64_t{a} + int64_t{b};
    if (sum > kMax || sum < -kMax - 1)
        return std::nullopt;
    return static_cast<int32_t>(sum);
}

} // namespace kakeibo::Amount
