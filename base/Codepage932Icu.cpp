// Code page 932 through Qt's converter, ICU's "windows-31j", made to agree
// byte for byte with Windows' own table: ICU swaps three control codes
// (it writes U+001A as 0x7F, U+001C as 0x1A and U+007F as 0x1C, and reads
// them back the same way) and has no mapping for 0x80, which Windows maps
// to U+0080 both ways. None of these bytes can be the second byte of a
// pair, so each is put right on its own.
//
// Every conversion uses a fresh converter: Qt's encoder keeps its error
// flag across resetState(), and the stateful decoder silently holds back a
// lead byte at the end of its input.
#include "Codepage932Native.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kakeibo::Codepage932::Native {
namespace {

constexpr const char *kCodec = "windows-31j";
constexpr char16_t kUnmappedByIcu = 0x80;

std::optional<QByteArray> icuEncode(QStringView text)
{
    QStringEncoder encoder(kCodec);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    for (char &byte : bytes) {
        switch (byte) {
        case 0x7F: byte = 0x1A; break;
        case 0x1A: byte = 0x1C; break;
        case 0x1C: byte = 0x7F; break;
        default: break;
        }
    }
    return bytes;
}

std::optional<QString> icuDecode(QByteArrayView bytes)
{
    QStringDecoder decoder(kCodec, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    for (QChar &c : text) {
        switch (c.unicode()) {
        case 0x1C: c = QChar(0x1A); break;
        case 0x7F: c = QChar(0x1C); break;
        case 0x1A: c = QChar(0x7F); break;
        default: break;
        }
    }
    return text;
}

bool isLeadByte(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

std::optional<QByteArray> encodeExact(QStringView text)
{
    if (!text.contains(QChar(kUnmappedByIcu)))
        return icuEncode(text);
    QByteArray bytes;
    for (const QStringView part : QStringTokenizer(text, QChar(kUnmappedByIcu))) {
        const std::optional<QByteArray> encoded = icuEncode(part);
        if (!encoded)
            return std::nullopt;
        bytes += *encoded;
        bytes += char(kUnmappedByIcu);
    }
    bytes.chop(1);
    return bytes;
}

// A 0x80 of its own (not the second byte of a pair) is U+0080.
std::optional<QString> decodeExact(QByteArrayView bytes)
{
    if (!bytes.contains(char(kUnmappedByIcu)))
        return icuDecode(bytes);
    QString text;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i <= bytes.size()) {
        if (i < bytes.size() && uint8_t(bytes[i]) != kUnmappedByIcu) {
            i = std::min(i + (isLeadByte(uint8_t(bytes[i])) ? 2 : 1), bytes.size());
            continue;
        }
        const std::optional<QString> part = icuDecode(bytes.sliced(start, i - start));
        if (!part)
            return std::nullopt;
        text += *part;
        if (i < bytes.size())
            text += QChar(kUnmappedByIcu);
        start = ++i;
    }
    return text;
}

} // namespace kakeibo::Codepage932::Native
