// Code page 932 (the Japanese Windows "ANSI" code page, Shift_JIS with the
// Microsoft extensions) through Qt's own converter, ICU's "windows-31j".
//
// Every conversion uses a fresh converter: Qt's encoder keeps its error flag
// across resetState(), and the stateful decoder silently holds back a lead
// byte at the end of its input.
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

// The bytes of a text that encodes exactly (see firstUnrepresentable).
QByteArray encode(QStringView text);

// The text of a field of bytes. Bytes that are not valid code page 932
// (a lone lead byte, an unassigned pair) each give U+FFFD.
QString decode(QByteArrayView bytes);

} // namespace kakeibo::Codepage932
