// Starts the account book on its application directory, the directory that
// holds the program file and its data files. A second start on the same
// directory only brings the running copy to the front.
#include "Frame.h"
#include "Program.h"
#include "SingleInstance.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString applicationDirectory = QCoreApplication::applicationDirPath();
    kakeibo::SingleInstance instance(applicationDirectory);
    if (!instance.claim())
        return 0;
    kakeibo::Frame frame(applicationDirectory);
    QObject::connect(&instance, &kakeibo::SingleInstance::activationRequested,
                     [&frame] { frame.bringToFront(QStringLiteral("frmIO")); });
    if (!kakeibo::startProgram(frame))
        return frame.exitCode();
    return QApplication::exec();
}
