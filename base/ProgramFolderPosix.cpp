#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace kakeibo::ProgramFolder {
namespace {

// The folders opened by reach(): the path that leads through each, and the
// name the user reads for it.
struct Opened {
    QString access;
    QString readable;
};
QList<Opened> &opened()
{
    static QList<Opened> folders;
    return folders;
}

// The bytes as text where they are UTF-8, each other byte as \xHH.
QString readable(const QByteArray &bytes)
{
    QString text;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        const QByteArray piece = bytes.mid(at, length);
        const QString decoded = QString::fromUtf8(piece);
        if (length > 0 && piece.size() == length && decoded.toUtf8() == piece) {
            text += decoded;
            at += length;
        } else {
            text += QStringLiteral("\\x") + QString::number(lead, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            ++at;
        }
    }
    return text;
}

} // namespace

QString path()
{
    char exe[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe);
    if (length <= 0 || length == ssize_t(sizeof exe))
        return QCoreApplication::applicationDirPath();
    const QByteArray file(exe, int(length));
    const qsizetype slash = file.lastIndexOf('/');
    return reach(std::filesystem::path(slash > 0 ? file.left(slash).toStdString() : std::string("/")));
}

QString reach(const std::filesystem::path &folder)
{
    const QByteArray bytes = QByteArray::fromStdString(folder.native());
    const QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) == bytes)
        return name;
    // Kept open for the whole run: the book is reached through it.
    const int fd = ::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return name;
    const QString access = QStringLiteral("/proc/self/fd/%1").arg(fd);
    opened().append({access, readable(bytes)});
    return access;
}

QString shown(const QString &path)
{
    for (const Opened &folder : std::as_const(opened())) {
        if (path == folder.access || path.startsWith(folder.access + QLatin1Char('/')))
            return folder.readable + path.mid(folder.access.size());
    }
    return path;
}

} // namespace kakeibo::ProgramFolder
