#pragma once
#include <QStringList>

// Runs "sumaris-cli db VERB ..." (the arguments after "db"); returns the exit status:
// 0 done, 1 failed (database or file error, reported on standard error), 2 usage error.
// Texts go to standard output in Windows-1250, or UTF-8 when `utf8` is set.
int RunDbCommand(QStringList args, bool utf8);
