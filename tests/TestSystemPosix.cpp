#include "TestSystem.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Refusal {
    TestSystem::SystemCall call;
    int code;
};
std::optional<Refusal> g_refusal;

// Whether the call is refused, with errno set.
bool refused(TestSystem::SystemCall call)
{
    if (!g_refusal || g_refusal->call != call)
        return false;
    errno = g_refusal->code;
    return true;
}

template <typename Function>
Function *next(const char *name)
{
    return reinterpret_cast<Function *>(::dlsym(RTLD_NEXT, name));
}

} // namespace

// The C library's calls as the platform layer makes them, each refused
// while a test asks it to be.
extern "C" int fsync(int fd)
{
    struct stat status {};
    const bool folder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    if (refused(folder ? TestSystem::SystemCall::SyncFolder : TestSystem::SystemCall::SyncFile))
        return -1;
    static const auto real = next<int(int)>("fsync");
    return real(fd);
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    if (refused(TestSystem::SystemCall::Rename))
        return -1;
    static const auto real = next<int(const char *, const char *)>("rename");
    return real(from, to);
}

namespace TestSystem {

bool failSystemCall(SystemCall call, int code)
{
    g_refusal = Refusal{call, code};
    return true;
}

void restoreSystemCalls()
{
    g_refusal.reset();
}

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
