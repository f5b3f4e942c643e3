// Fuzz target for text to amount: any text (the input read as UTF-16, so
// full-width characters are one step away) converts or fails cleanly, and
// what converts renders to plain digits that convert back to the same
// amount.
#include "Amount.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace kakeibo;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isPlainDecimal(const QString &text)
{
    if (text.isEmpty())
        return false;
    const qsizetype first = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (first == text.size())
        return false;
    for (qsizetype i = first; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    const auto amount = Amount::fromText(text);
    if (!amount.ok()) {
        const auto kind = amount.error().kind;
        require(kind == Error::Kind::Conversion || kind == Error::Kind::Overflow);
        return 0;
    }
    const QString rendered = Amount::toText(amount.value());
    require(isPlainDecimal(rendered));
    const auto again = Amount::fromText(rendered);
    require(again.ok() && again.value() == amount.value());
    return 0;
}
