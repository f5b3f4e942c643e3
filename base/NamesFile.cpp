#include "NamesFile.h"

#include "FileService.h"

#include <QFileInfo>

namespace kakeibo::NamesFile {

Expected<NamesFormat::Names> load(const QString &path)
{
    const auto bytes = readWholeFile(path, NamesFormat::kMaxFileBytes);
    if (!bytes.ok())
        return bytes.error();
    auto names = NamesFormat::decode(bytes.value());
    if (!names.ok()) {
        Error error = names.error();
        error.subject = QFileInfo(path).absoluteFilePath();
        return error;
    }
    return names;
}

std::optional<Error> save(const QString &path, const NamesFormat::Names &names)
{
    const QByteArray bytes = NamesFormat::encode(names);
    return replaceAtomically(path, [&](QIODevice &file) { return writeAll(file, bytes); });
}

} // namespace kakeibo::NamesFile
