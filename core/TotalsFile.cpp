#include "TotalsFile.h"

#include "FileService.h"

namespace kakeibo::TotalsFile {
namespace {

Error withPath(Error error, const BinaryFile &file)
{
    error.subject = file.error(error.kind).subject;
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
        return withPath(totals.error(), file);
    return totals;
}

std::optional<Error> save(const QString &path, const TotalsFormat::Totals &totals)
{
    BinaryFile file(path);
    if (auto error = file.open())
        return error;
    if (auto error = TotalsFormat::write(file.device(), totals))
        return withPath(*error, file);
    if (auto error = file.flush())
        return error;
    file.close();
    return std::nullopt;
}

} // namespace kakeibo::TotalsFile
