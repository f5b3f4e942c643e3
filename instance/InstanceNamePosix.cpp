#include "InstanceName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace kakeibo::InstanceName {

QString forIdentity(const QString &identity)
{
    const QByteArray hash = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : QDir(runtime).filePath(QStringLiteral("kakeibo-") + QString::fromLatin1(hash));
}

} // namespace kakeibo::InstanceName
