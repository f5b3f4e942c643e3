#include "InstanceName.h"

namespace kakeibo::InstanceName {

// A named pipe: its name is open to every user, so both ends check that
// the other runs as this user (PeerUser), and the listener admits this
// user alone (QLocalServer::UserAccessOption).
QString forIdentity(const QString &identity)
{
    return baseName(identity);
}

} // namespace kakeibo::InstanceName
