#include "Picture.h"

#include "FileService.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace kakeibo::Picture {
namespace {

// Far more than any icon: a 256-pixel icon in all depths is under 1 MiB.
constexpr qint64 kLargestIcon = 8 << 20;

} // namespace

Expected<QPixmap> load(const QString &path)
{
    // Read as the data files are: a regular file only (a FIFO or a device in
    // its place is refused without waiting), links only of this user, and
    // bounded in size.
    Expected<QByteArray> bytes = readWholeFile(path, kLargestIcon);
    if (!bytes.ok())
        return Error::file(Error::Kind::Picture, bytes.error().subject, bytes.error().reason);
    QByteArray data = bytes.value();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull())
        return Error::file(Error::Kind::Picture, QFileInfo(path).absoluteFilePath(),
                           QStringLiteral("画像として読み込めない形式です (%1)").arg(reader.errorString()));
    return QPixmap::fromImage(image);
}

} // namespace kakeibo::Picture
