// Fuzz target for the names file: the reader takes any bytes without fault,
// and what the writer writes the reader reads back.
//  1. The input as a names file: decoding never fails but for too few
//     fields; six names that store exactly are written and read back equal.
//  2. The input as six names (UTF-8, split at NUL bytes): a name the check
//     finds storable is written and read back equal; one it refuses holds
//     the character it names.
#include "Codepage932.h"
#include "NamesFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace kakeibo;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void roundTrip(const NamesFormat::Names &names)
{
    const auto bad = NamesFormat::findUnstorable(names);
    if (bad) {
        require(bad->slot >= 0 && bad->slot < kSlotCount);
        require(names[bad->slot].contains(bad->character));
        return;
    }
    const auto read = NamesFormat::decode(NamesFormat::encode(names));
    require(read.ok());
    require(read.value() == names);
}

// Up to six names from UTF-8 text, separated by NUL bytes.
NamesFormat::Names splitNames(QByteArrayView bytes)
{
    NamesFormat::Names names;
    int slot = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size() && slot < kSlotCount; ++i) {
        if (i == bytes.size() || bytes[i] == '\0') {
            names[slot++] = QString::fromUtf8(bytes.sliced(start, i - start));
            start = i + 1;
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const auto file = NamesFormat::decode(bytes);
    if (file.ok())
        roundTrip(NamesFormat::mapInputMethodVariants(file.value()));
    else
        require(file.error().kind == Error::Kind::FileFormat);

    roundTrip(NamesFormat::mapInputMethodVariants(splitNames(bytes)));
    return 0;
}
