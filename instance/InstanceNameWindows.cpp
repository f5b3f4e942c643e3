#include "InstanceName.h"

#include <QCryptographicHash>

namespace kakeibo::InstanceName {

// A named pipe: its name is open to every user, so both ends check that
// the other runs as this user (PeerUser), and the listener admits this
// user alone (QLocalServer::UserAccessOption).
QString forIdentity(const QString &identity)
{
    const QByteArray hash = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("kakeibo-") + QString::fromLatin1(hash);
}

} // namespace kakeibo::InstanceName
