// "MD.dat" on disk: each access opens the file for binary reading and writing
// (creating it empty when missing), moves the whole 24-byte block at offset 0
// in one operation and closes it. A save is durable when it returns: the data
// has been forced onto the device.
#pragma once

#include "TotalsFormat.h"

namespace kakeibo::TotalsFile {

Expected<TotalsFormat::Totals> load(const QString &path);

std::optional<Error> save(const QString &path, const TotalsFormat::Totals &totals);

} // namespace kakeibo::TotalsFile
