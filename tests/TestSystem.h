// What the tests ask of the operating system beyond Qt, one file per
// system (TestSystemPosix.cpp, TestSystemWindows.cpp). A helper that the
// system cannot do answers false, and the row that needs it is skipped
// with its reason.
#pragma once

#include <QString>

namespace TestSystem {

// A FIFO (named pipe) at path; false where the system has none in a folder.
bool makeFifo(const QString &path);

// A second name for the file target.
bool makeHardLink(const QString &target, const QString &path);

// The system's code for an input/output error of a device.
int deviceErrorCode();

// The system itself refuses every call of a kind with `code`, below the
// platform layer (POSIX: the test program's own fsync and rename stand in
// front of the C library's), until restoreSystemCalls(); false where the
// suite cannot (Windows).
enum class SystemCall { SyncFile, SyncFolder, Rename };
bool failSystemCall(SystemCall call, int code);
void restoreSystemCalls();

// Why a case of the suite cannot apply on this system, or nullptr when it
// does: a symbolic link made by QFile::link (a shortcut on Windows, which
// no program follows), a FIFO in a folder, owner permissions binding the
// user who runs the suite (an unprivileged user on POSIX systems), the
// channel as a file in the runtime directory (a named pipe on Windows),
// running a command as another user (root's setpriv), a file name in bytes
// that are no text (a POSIX name; Windows names are UTF-16).
enum class Feature { SymbolicLinks, FifosInFolders, BindingPermissions, ChannelInRuntimeDirectory, OtherUser, NamesInBytes };
const char *missing(Feature feature);

} // namespace TestSystem
