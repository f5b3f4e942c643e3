// Starts the account book on its application directory, the directory that
// holds the program file and its data files.
#include "Program.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    kakeibo::prepareApplication();
    QApplication app(argc, argv);
    kakeibo::confinePlugins();
    return kakeibo::runProgram(QCoreApplication::applicationDirPath());
}
