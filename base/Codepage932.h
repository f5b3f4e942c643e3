// Code page 932 (the Japanese Windows "ANSI" code page, Shift_JIS with the
// Microsoft extensions), byte for byte as Windows has it on every system:
// the conversions are the system's (Codepage932Native), the rules for what
// may be stored and how broken bytes read are these.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace kakeibo::Codepage932 {

// Characters that input methods of other systems produce in place of code
// page 932's own (WAVE DASH for FULLWIDTH TILDE and so on), mapped to the
// ones the code page holds.
QString mapInputMethodVariants(QString text);

// The first character (a whole code point) that code page 932 cannot
// represent exactly (it fails to encode, or reads back as another
// character), or nothing when the whole text encodes exactly.
std::optional<QString> firstUnrepresentable(QStringView text);

// The bytes of a text that encodes exactly (see firstUnrepresentable); no
// bytes at all for one that does not.
QByteArray encode(QStringView text);

// The text of a field of bytes. Bytes that are not valid code page 932
// (a lone lead byte, an unassigned pair) each give U+FFFD.
QString decode(QByteArrayView bytes);

} // namespace kakeibo::Codepage932
