#include "TotalsFile.h"

#include "FileService.h"

#include <QBuffer>

namespace kakeibo::TotalsFile {
namespace {

// The format names no file; the file it was read from or written to.
Error naming(Error error, const BinaryFile &file)
{
    error.subject = file.fullPath();
    return error;
}

} // namespace

Expected<TotalsFormat::Totals> load(const QString &path)
{
    BinaryFile file(path);
    if (auto error = file.open())
        return *error;
    auto totals = TotalsFormat::read(file.device());
    if (!totals.ok())
        return naming(totals.error(), file);
    return totals;
}

std::optional<Error> save(const QString &path, const TotalsFormat::Totals &totals)
{
    BinaryFile file(path);
    if (auto error = file.open())
        return error;
    QBuffer image;
    image.open(QIODevice::WriteOnly);
    if (auto error = TotalsFormat::write(image, totals))
        return naming(*error, file);
    // The image fits one sector of the device: a power loss leaves the old
    // totals or the new, whole.
    if (auto error = file.writeAtStart(image.data()))
        return error;
    file.close();
    return std::nullopt;
}

} // namespace kakeibo::TotalsFile
