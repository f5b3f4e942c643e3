#include "Picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace kakeibo::Picture {

Expected<QPixmap> load(const QString &path)
{
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error::file(Error::Kind::Picture, fullPath, file.errorString());
    QImageReader reader(&file);
    const QImage image = reader.read();
    if (image.isNull())
        return Error::file(Error::Kind::Picture, fullPath,
                           QStringLiteral("画像として読み込めない形式です (%1)").arg(reader.errorString()));
    return QPixmap::fromImage(image);
}

} // namespace kakeibo::Picture
