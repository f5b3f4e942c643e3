#include "SystemFiles.h"

#include "SystemFilesNative.h"

#include <QDir>
#include <QRandomGenerator>

namespace kakeibo::SystemFiles {
namespace {

Watcher *g_watcher = nullptr;

// Runs a step past the watcher: it may fail the step before it runs, and
// sees it after it succeeded.
template <typename Run>
int watched(const Step &step, Run run)
{
    if (g_watcher) {
        if (const int injected = g_watcher->before(step))
            return injected;
    }
    const int code = run();
    if (code == 0 && g_watcher)
        g_watcher->after(step);
    return code;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// More links in a row than this are a loop, as the kernel counts them.
constexpr int kMostLinks = 40;

// The error of a failed open: a missing file, a link whose file is missing,
// a link put in place of the file, a folder that takes no new file, or the
// system's reason.
Error openFailed(const QString &path, int code, bool throughLink, Access access)
{
    if (Native::isMissing(code) && throughLink)
        return Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("リンク先のファイルがありません"));
    if (Native::isMissing(code))
        return Error::file(Error::Kind::FileNotFound, fullPath(path), reasonFor(code));
    if (Native::isLinkInPlace(code))
        return Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("開く間にリンクに置き換えられました"));
    if (access == Access::ReadWrite && Native::isReadOnlyPlace(code) && !throughLink && !QFileInfo::exists(path))
        return Error::file(Error::Kind::DirectoryWrite, folderOf(path), reasonFor(code));
    return Error::file(Error::Kind::FileOpen, fullPath(path), reasonFor(code));
}

} // namespace

int syncDirectory(const QString &directory)
{
    return watched({Step::Kind::SyncDirectory, directory}, [&] { return Native::syncDirectory(directory); });
}

void setWatcher(Watcher *watcher)
{
    g_watcher = watcher;
}

Expected<QString> resolveOwnLinks(const QString &path)
{
    QString current = fullPath(path);
    for (int followed = 0; followed <= kMostLinks; ++followed) {
        bool isLink = false;
        const Expected<QString> target = Native::readOwnLink(current, isLink);
        if (!target.ok()) {
            Error error = target.error();
            error.subject = fullPath(path);
            return error;
        }
        if (!isLink)
            return current;
        current = QDir::cleanPath(QDir(folderOf(current)).absoluteFilePath(target.value()));
    }
    return Error::file(Error::Kind::FileOpen, fullPath(path), QStringLiteral("リンクが多すぎます"));
}

std::optional<Error> openRegular(QFile &file, Access access, QIODevice::OpenMode mode)
{
    const QString path = file.fileName();
    const Expected<QString> resolved = resolveOwnLinks(path);
    if (!resolved.ok())
        return resolved.error();
    const QString &target = resolved.value();
    const bool throughLink = target != fullPath(path);
    // Nothing is created through a link.
    const bool create = access == Access::ReadWrite && !throughLink;
    bool created = false;
    QString refusal;
    const int code = watched({Step::Kind::Open, target}, [&] {
        return Native::openRegular(file, target, access, create, created, mode, refusal);
    });
    if (!refusal.isEmpty())
        return Error::file(Error::Kind::FileOpen, fullPath(path), refusal);
    if (code)
        return openFailed(path, code, throughLink, access);
    if (!created)
        return std::nullopt;
    // A file made here lasts only once its folder's new entry is forced.
    if (g_watcher)
        g_watcher->after({Step::Kind::Create, target});
    if (const int failed = syncDirectory(folderOf(target))) {
        file.close();
        return Error::file(Error::Kind::FileFlush, folderOf(target), reasonFor(failed));
    }
    return std::nullopt;
}

Expected<QString> createReplacement(QFile &file, const QString &path)
{
    for (int tries = 0;; ++tries) {
        const QString name = QStringLiteral("%1.%2").arg(path).arg(QRandomGenerator::global()->generate(), 8, 16,
                                                                     QLatin1Char('0'));
        const int code = watched({Step::Kind::Create, name}, [&] { return Native::createExclusive(file, name, path); });
        if (code == 0)
            return name;
        if (!Native::isTaken(code) || tries == 100) {
            if (Native::isReadOnlyPlace(code))
                return Error::file(Error::Kind::DirectoryWrite, folderOf(path), reasonFor(code));
            return Error::file(Error::Kind::FileOpen, fullPath(path), reasonFor(code));
        }
    }
}

int writeAt(QFileDevice &file, const QString &path, qint64 offset, QByteArrayView bytes)
{
    Step step{Step::Kind::Write, fullPath(path)};
    step.offset = offset;
    step.bytes = bytes.toByteArray();
    return watched(step, [&] { return Native::writeAt(file, offset, bytes); });
}

int sync(QFileDevice &file, const QString &path)
{
    return watched({Step::Kind::Sync, fullPath(path)}, [&] { return Native::sync(file); });
}

int rename(const QString &from, const QString &to)
{
    Step step{Step::Kind::Rename, fullPath(from)};
    step.target = fullPath(to);
    return watched(step, [&] { return Native::rename(from, to); });
}

int remove(const QString &path)
{
    return watched({Step::Kind::Remove, fullPath(path)}, [&] { return Native::remove(path); });
}

} // namespace kakeibo::SystemFiles
