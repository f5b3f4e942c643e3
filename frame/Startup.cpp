#include "Startup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>

namespace kakeibo {

void prepareApplication()
{
    // The launcher's file name without ".desktop" (tools/desktop_common.sh).
    const QString applicationId = QStringLiteral("org.kakeibo.Kakeibo");
    QCoreApplication::setApplicationName(applicationId);
    QGuiApplication::setDesktopFileName(applicationId);
    if (!qEnvironmentVariableIsSet("IBUS_ENABLE_SYNC_MODE"))
        qputenv("IBUS_ENABLE_SYNC_MODE", "1");
}

void confinePlugins()
{
    QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
}

} // namespace kakeibo
