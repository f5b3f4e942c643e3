// Code page 932 as the operating system's converter has it, one
// implementation per system: Codepage932Icu.cpp (Qt's converter from ICU,
// "windows-31j", made to agree byte for byte with Windows) and
// Codepage932Windows.cpp (MultiByteToWideChar and WideCharToMultiByte).
// Codepage932 builds the program's rules on these two conversions.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace kakeibo::Codepage932::Native {

// The bytes of a text every character of which has a mapping of its own
// (no default character, no best fit); nullopt otherwise.
std::optional<QByteArray> encodeExact(QStringView text);

// The text of bytes that are all valid code page 932; nullopt otherwise.
std::optional<QString> decodeExact(QByteArrayView bytes);

} // namespace kakeibo::Codepage932::Native
