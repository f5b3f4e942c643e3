#include "InstanceName.h"

#include <QCryptographicHash>

namespace kakeibo::InstanceName {

QString baseName(const QString &identity)
{
    const QByteArray hash = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("kakeibo-") + QString::fromLatin1(hash);
}

} // namespace kakeibo::InstanceName
