#include "Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kakeibo {

void prepareApplication()
{
    if (!qEnvironmentVariableIsSet("IBUS_ENABLE_SYNC_MODE"))
        qputenv("IBUS_ENABLE_SYNC_MODE", "1");
}

void confinePlugins()
{
    QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
}

} // namespace kakeibo
