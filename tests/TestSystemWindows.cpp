#include "TestSystem.h"

#include <QDir>

#include <windows.h>

namespace TestSystem {

// Windows has named pipes, but not as files in a folder.
bool makeFifo(const QString &)
{
    return false;
}

bool makeHardLink(const QString &target, const QString &path)
{
    const QString from = QDir::toNativeSeparators(path);
    const QString to = QDir::toNativeSeparators(target);
    return CreateHardLinkW(reinterpret_cast<const wchar_t *>(from.utf16()), reinterpret_cast<const wchar_t *>(to.utf16()),
                           nullptr);
}

int deviceErrorCode()
{
    return ERROR_IO_DEVICE;
}

// No stand-in below the Windows API here.
bool failSystemCall(SystemCall, int)
{
    return false;
}

void restoreSystemCalls() {}

const char *missing(Feature feature)
{
    switch (feature) {
    case Feature::SymbolicLinks:
        return "QFile::link makes a shortcut on Windows, which no program follows";
    case Feature::FifosInFolders:
        return "Windows keeps its named pipes out of folders";
    case Feature::BindingPermissions:
        return "owner permissions do not bind here, and there is no user to drop to";
    case Feature::ChannelInRuntimeDirectory:
        return "the channel is a named pipe on Windows, not a file";
    case Feature::OtherUser:
        return "there is no other user to run a command as";
    case Feature::NamesInBytes:
        return "a Windows name is UTF-16, always text";
    }
    return nullptr;
}

} // namespace TestSystem
