// Picture loading: an icon file read into a picture for a window icon or an
// image control.
#pragma once

#include "Error.h"

#include <QPixmap>
#include <QString>

namespace kakeibo::Picture {

// The picture in the file; Picture (naming the file) when it is missing or
// is no image the program can show.
Expected<QPixmap> load(const QString &path);

} // namespace kakeibo::Picture
