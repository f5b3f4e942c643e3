#include "Version.h"

#include "Amount.h"

namespace kakeibo::Version {

QString caption(int major, int minor)
{
    return QStringLiteral("Version ") + Amount::toText(major) + QLatin1Char('.') + Amount::twoDigits(minor);
}

} // namespace kakeibo::Version
