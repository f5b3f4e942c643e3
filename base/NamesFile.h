// "Item.dat" on disk. Loading reads the whole file and takes six fields from
// it; saving encodes the six names first and then replaces the file in one
// step, so that a failure midway leaves the old file whole.
#pragma once

#include "NamesFormat.h"

namespace kakeibo::NamesFile {

// FileNotFound when there is no file, FileFormat when it has fewer than six
// fields; both name the file.
Expected<NamesFormat::Names> load(const QString &path);

// The names must be storable (NamesFormat::findUnstorable).
std::optional<Error> save(const QString &path, const NamesFormat::Names &names);

} // namespace kakeibo::NamesFile
