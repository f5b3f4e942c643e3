#include "InstanceLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace kakeibo::InstanceLoader {
namespace {

// Only the file the build put beside the program: a library is given by its
// whole path and file name, so that no other name is tried.
QFunctionPointer resolve(const QString &applicationDirectory, const char *symbol)
{
    const QString path = QDir(applicationDirectory).absoluteFilePath(QStringLiteral(KAKEIBO_INSTANCE_FILE));
    if (!QFileInfo(path).isFile())
        return nullptr;
    QLibrary library(path);
    return library.resolve(symbol);
}

} // namespace

InstanceChannel::ListenFunction listenFunction(const QString &applicationDirectory)
{
    return reinterpret_cast<InstanceChannel::ListenFunction>(resolve(applicationDirectory, InstanceChannel::kListenSymbol));
}

InstanceChannel::AskFunction askFunction(const QString &applicationDirectory)
{
    return reinterpret_cast<InstanceChannel::AskFunction>(resolve(applicationDirectory, InstanceChannel::kAskSymbol));
}

} // namespace kakeibo::InstanceLoader
