#include "Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kakeibo {

void prepareApplication()
{
    QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
    if (!qEnvironmentVariableIsSet("IBUS_ENABLE_SYNC_MODE"))
        qputenv("IBUS_ENABLE_SYNC_MODE", "1");
}

} // namespace kakeibo
