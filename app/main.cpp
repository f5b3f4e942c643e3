// Starts the account book on its application directory, the directory that
// holds the program file and its data files.
#include "Frame.h"
#include "Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kakeibo::Frame frame(QCoreApplication::applicationDirPath());
    if (!kakeibo::startProgram(frame))
        return frame.exitCode();
    return QApplication::exec();
}
