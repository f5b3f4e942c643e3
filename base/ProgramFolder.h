// The folder that holds the program, through which the program reaches its
// book, one file per system (ProgramFolderPosix.cpp, ProgramFolderWindows.cpp).
//
// A folder's name on a POSIX system is bytes, and not every name is text:
// a folder copied from an old Japanese disk keeps a name in Shift_JIS,
// which no decoding into a QString and back gives again. Such a folder is
// opened once, by its own bytes, and its files are reached through the open
// folder for as long as the program runs; a message shows its name
// readably, each byte that is no UTF-8 as \xHH.
#pragma once

#include <QString>

#include <filesystem>

namespace kakeibo::ProgramFolder {

// The path of the folder of the running program file, as the program
// reaches the files in it ("folder/MD.dat").
QString path();

// The path through which the program reaches the files of `folder`, named
// as the system names it: the folder's name itself where it is text, else
// the folder opened once.
QString reach(const std::filesystem::path &folder);

// A path as the user reads it: one that leads through a folder opened by
// reach() shows that folder's own name instead, never a blank.
QString shown(const QString &path);

} // namespace kakeibo::ProgramFolder
