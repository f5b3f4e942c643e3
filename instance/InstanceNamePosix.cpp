#include "InstanceName.h"

#include <QDir>
#include <QStandardPaths>

namespace kakeibo::InstanceName {

QString forIdentity(const QString &identity)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : QDir(runtime).filePath(baseName(identity));
}

} // namespace kakeibo::InstanceName
