// Draws the program's icon at the sizes a desktop's icon theme wants, from
// the one picture in app/Icon.ico, for tools/install.sh.
// Usage: kakeibo_icon_png ICON_FILE OUTPUT_DIRECTORY SIZE...
// writes OUTPUT_DIRECTORY/SIZExSIZE/kakeibo.png for each size.
#include <QDir>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    const QImage icon = reader.read();
    if (icon.isNull()) {
        std::fprintf(stderr, "cannot read %s: %s\n", argv[1], qPrintable(reader.errorString()));
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        // Scaled by whole pixels where it can be, so that the 16-colour
        // drawing stays crisp; smoothly where it cannot.
        const Qt::TransformationMode mode = size % icon.width() == 0 ? Qt::FastTransformation
                                                                      : Qt::SmoothTransformation;
        const QString folder = QStringLiteral("%1x%1").arg(size);
        if (!output.mkpath(folder)
            || !icon.scaled(size, size, Qt::KeepAspectRatio, mode).save(output.filePath(folder + "/kakeibo.png")))
            return 1;
    }
    return 0;
}
