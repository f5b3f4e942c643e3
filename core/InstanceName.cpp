#include "InstanceName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace kakeibo::InstanceName {

QString forDirectory(const QString &applicationDirectory)
{
    QString path = QFileInfo(applicationDirectory).canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(QFileInfo(applicationDirectory).absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    const QString name = QStringLiteral("kakeibo-") + QString::fromLatin1(hash);
#ifdef Q_OS_WIN
    return name;
#else
    return QDir(QDir::tempPath()).filePath(name);
#endif
}

bool mayBeListening(const QString &name)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return true;
#else
    return QFileInfo::exists(name);
#endif
}

} // namespace kakeibo::InstanceName
