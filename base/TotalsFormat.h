// The totals file "MD.dat", shared by its reader and its writer.
//
// Layout: six signed 32-bit two's-complement totals, least significant byte
// first, slot 0 at offset 0 and slot 5 at offset 20; 24 bytes, no header,
// no checksum. A file may be longer: bytes from offset 24 on belong to no
// one, are never read and are kept as they are by every write. A shorter
// file (the empty one the first open creates) reads as zeros where it ends.
#pragma once

#include "Error.h"
#include "Slots.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <array>
#include <cstdint>
#include <optional>

namespace kakeibo::TotalsFormat {

constexpr qint64 kFieldSize = 4;
constexpr qint64 kImageSize = kSlotCount * kFieldSize;  // 24

using Totals = std::array<int32_t, kSlotCount>;

QByteArray encode(const Totals &totals);

// Decodes the first 24 bytes; missing bytes count as zero.
Totals decode(QByteArrayView image);

// Reads the image at offset 0 of an open device. The error names no file:
// the caller knows which one it opened.
Expected<Totals> read(QIODevice &device);

// Writes the 24-byte image at offset 0 in one write; later bytes stay.
std::optional<Error> write(QIODevice &device, const Totals &totals);

} // namespace kakeibo::TotalsFormat
