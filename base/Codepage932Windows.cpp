// Code page 932 through the Windows API. Invalid bytes and characters
// without a mapping of their own are refused, never replaced or fitted to
// a look-alike, so that the rules above behave as on every other system.
#include "Codepage932Native.h"

#include <limits>

#include <windows.h>

namespace kakeibo::Codepage932::Native {
namespace {

constexpr UINT kCodePage = 932;

bool fitsInt(qsizetype size)
{
    return size <= std::numeric_limits<int>::max() / 2;
}

} // namespace

std::optional<QByteArray> encodeExact(QStringView text)
{
    if (text.isEmpty())
        return QByteArray();
    if (!fitsInt(text.size()))
        return std::nullopt;
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), nullptr, 0, nullptr,
                                         &usedDefault);
    if (size <= 0 || usedDefault)
        return std::nullopt;
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), size, nullptr,
                        &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return bytes;
}

std::optional<QString> decodeExact(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    if (!fitsInt(bytes.size()))
        return std::nullopt;
    const int size = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t *>(text.data()), size);
    return text;
}

} // namespace kakeibo::Codepage932::Native
