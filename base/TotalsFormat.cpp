#include "TotalsFormat.h"

#include "FileService.h"

namespace kakeibo::TotalsFormat {

QByteArray encode(const Totals &totals)
{
    QByteArray image(kImageSize, '\0');
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto bits = static_cast<uint32_t>(totals[slot]);
        for (int byte = 0; byte < kFieldSize; ++byte)
            image[slot * kFieldSize + byte] = static_cast<char>((bits >> (8 * byte)) & 0xFF);
    }
    return image;
}

Totals decode(QByteArrayView image)
{
    QByteArray padded(kImageSize, '\0');
    const qsizetype used = std::min<qsizetype>(image.size(), kImageSize);
    std::copy_n(image.data(), used, padded.data());
    Totals totals{};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        uint32_t bits = 0;
        for (int byte = 0; byte < kFieldSize; ++byte)
            bits |= uint32_t(uint8_t(padded[slot * kFieldSize + byte])) << (8 * byte);
        totals[slot] = static_cast<int32_t>(bits);
    }
    return totals;
}

Expected<Totals> read(QIODevice &device)
{
    if (!device.seek(0))
        return Error::file(Error::Kind::FileRead, {}, device.errorString());
    QByteArray image(kImageSize, '\0');
    qint64 filled = 0;
    while (filled < kImageSize) {
        const qint64 got = device.read(image.data() + filled, kImageSize - filled);
        if (got < 0)
            return Error::file(Error::Kind::FileRead, {}, device.errorString());
        if (got == 0)
            break;
        filled += got;
    }
    return decode(QByteArrayView(image.constData(), filled));
}

std::optional<Error> write(QIODevice &device, const Totals &totals)
{
    if (!device.seek(0))
        return Error::file(Error::Kind::FileWrite, {}, device.errorString());
    return writeAll(device, encode(totals));
}

} // namespace kakeibo::TotalsFormat
