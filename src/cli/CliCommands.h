#pragma once
#include <QStringList>

// Runs one command line (without the program name); returns the exit status.
// Output goes to standard output (Windows-1250 unless --utf8), errors to standard error.
int RunCli(QStringList args);
