// Where the entry points of the "come forward" channel come from, one
// implementation per system: InstanceLoaderLibrary.cpp loads the library
// the build put beside the program, by its exact file name, only when a
// channel is used (so that a start pays nothing for Qt Network);
// InstanceLoaderLinked.cpp answers with the channel linked into the
// program (Windows, where the program is one file with Qt inside it).
#pragma once

#include "InstanceChannel.h"

namespace kakeibo::InstanceLoader {

// The channel's entry points; nullptr when they cannot be had (no
// library beside the program).
InstanceChannel::ListenFunction listenFunction(const QString &applicationDirectory);
InstanceChannel::AskFunction askFunction(const QString &applicationDirectory);

} // namespace kakeibo::InstanceLoader
