#include "ProgramFolder.h"

#include <QCoreApplication>

namespace kakeibo::ProgramFolder {

// A Windows name is UTF-16 and always text: the folder is named as it is,
// with the forward slashes Qt writes.
QString path()
{
    return QCoreApplication::applicationDirPath();
}

QString reach(const std::filesystem::path &folder)
{
    return QString::fromStdWString(folder.generic_wstring());
}

QString shown(const QString &path)
{
    return path;
}

} // namespace kakeibo::ProgramFolder
