#include "InstanceName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

namespace kakeibo::InstanceName {

QString forIdentity(const QString &identity)
{
    const QByteArray hash = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    const QString name = QStringLiteral("kakeibo-") + QString::fromLatin1(hash);
#ifdef Q_OS_WIN
    return name;
#else
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : QDir(runtime).filePath(name);
#endif
}

} // namespace kakeibo::InstanceName
