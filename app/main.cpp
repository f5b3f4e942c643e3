// Starts the account book on its application directory, the directory that
// holds the program file and its data files.
#include "Composition.h"
#include "Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    kakeibo::Composition::prepareEnvironment();
    QApplication app(argc, argv);
    return kakeibo::runProgram(QCoreApplication::applicationDirPath());
}
