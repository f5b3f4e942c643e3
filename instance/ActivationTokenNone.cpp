// Where windows come forward without tokens (X11 alone, Windows), none is
// ever asked for.
#include "ActivationToken.h"

namespace kakeibo::ActivationToken {

QString request()
{
    return {};
}

} // namespace kakeibo::ActivationToken
