// Starts the account book on its application directory, the directory that
// holds the program file and its data files.
#include "Program.h"
#include "ProgramFolder.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    kakeibo::prepareApplication();
    // The program takes no command line, and Qt is given none of it either
    // (-reverse, -style, -stylesheet, -platform ...): the desktop's own
    // environment (display, input method, scaling) still applies.
    int noArguments = argc > 0 ? 1 : 0;
    QApplication app(noArguments, argv);
    kakeibo::confinePlugins();
    return kakeibo::runProgram(kakeibo::ProgramFolder::path());
}
