#include "TestSystem.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace TestSystem {

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool makeHardLink(const QString &target, const QString &path)
{
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}

int deviceErrorCode()
{
    return EIO;
}

const char *missing(Feature feature)
{
    if (feature == Feature::OtherUser && ::geteuid() != 0)
        return "running a command as another user needs root (CI runs this suite as root)";
    return nullptr;
}

} // namespace TestSystem
