// An image-format plug-in as another user could plant it beside the program
// (imageformats/ in the application directory, which Qt would search when
// the program decodes "Icon.ico"): made, it leaves a mark in the file named
// by KAKEIBO_PLANTED_MARK, so that a test sees whether it was loaded.
#include <QFile>
#include <QImageIOPlugin>

class PlantedImageFormat : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "planted.json")

public:
    PlantedImageFormat()
    {
        QFile mark(qEnvironmentVariable("KAKEIBO_PLANTED_MARK"));
        if (mark.open(QIODevice::WriteOnly))
            mark.write("loaded");
    }
    Capabilities capabilities(QIODevice *, const QByteArray &) const override { return {}; }
    QImageIOHandler *create(QIODevice *, const QByteArray &) const override { return nullptr; }
};

#include "PlantedImageFormat.moc"
