// sumaris-cli: the program's engines without a window.
#include <QCoreApplication>
#include <QStringList>

#include "cli/CliCommands.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    return RunCli(args);
}
