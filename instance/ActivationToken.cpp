#include "ActivationToken.h"

#include <QtGlobal>

namespace kakeibo::ActivationToken {
namespace {

constexpr qsizetype kLongestToken = 255;

} // namespace

QString forThisStart()
{
    const QString given = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    if (isWellFormed(given))
        return given;
    return request();
}

bool isWellFormed(const QString &token)
{
    if (token.isEmpty() || token.size() > kLongestToken)
        return false;
    return std::all_of(token.cbegin(), token.cend(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
}

} // namespace kakeibo::ActivationToken
