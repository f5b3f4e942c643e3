#include "Codepage932.h"

#include "Codepage932Native.h"

#include <array>
#include <utility>

namespace kakeibo::Codepage932 {
namespace {

constexpr QChar kReplacement = QChar(0xFFFD);

constexpr std::array<std::pair<char16_t, char16_t>, 7> kVariants{{
    {u'\u301C', u'\uFF5E'},  // WAVE DASH -> FULLWIDTH TILDE
    {u'\u2212', u'\uFF0D'},  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {u'\u2016', u'\u2225'},  // DOUBLE VERTICAL LINE -> PARALLEL TO
    {u'\u2014', u'\u2015'},  // EM DASH -> HORIZONTAL BAR
    {u'\u00A2', u'\uFFE0'},  // CENT SIGN -> FULLWIDTH CENT SIGN
    {u'\u00A3', u'\uFFE1'},  // POUND SIGN -> FULLWIDTH POUND SIGN
    {u'\u00AC', u'\uFFE2'},  // NOT SIGN -> FULLWIDTH NOT SIGN
}};

bool isLeadByte(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(uint8_t b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Whether the text encodes exactly and reads back the same: a few
// characters (U+F86F) encode to bytes that decode to another character.
bool encodes(QStringView text)
{
    const std::optional<QByteArray> bytes = Native::encodeExact(text);
    if (!bytes)
        return false;
    const std::optional<QString> back = Native::decodeExact(*bytes);
    return back && *back == text;
}

// One character of one or two bytes; U+FFFD when it is not valid.
QString decodeUnit(QByteArrayView unit)
{
    const std::optional<QString> text = Native::decodeExact(unit);
    return text && !text->isEmpty() ? *text : QString(kReplacement);
}

// Character by character, for a field that did not decode whole.
QString decodeCarefully(QByteArrayView bytes)
{
    QString text;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = uint8_t(bytes[i]);
        const bool pair = isLeadByte(lead) && i + 1 < bytes.size() && isTrailByte(uint8_t(bytes[i + 1]));
        const qsizetype length = pair ? 2 : 1;
        text += decodeUnit(bytes.sliced(i, length));
        i += length;
    }
    return text;
}

} // namespace

QString mapInputMethodVariants(QString text)
{
    for (const auto &[from, to] : kVariants)
        text.replace(QChar(from), QChar(to));
    return text;
}

std::optional<QString> firstUnrepresentable(QStringView text)
{
    if (encodes(text))
        return std::nullopt;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView character = text.mid(i, length);
        if (!encodes(character))
            return character.toString();
        i += length;
    }
    return std::nullopt;
}

QByteArray encode(QStringView text)
{
    return Native::encodeExact(text).value_or(QByteArray());
}

QString decode(QByteArrayView bytes)
{
    if (std::optional<QString> text = Native::decodeExact(bytes))
        return *text;
    return decodeCarefully(bytes);
}

} // namespace kakeibo::Codepage932
