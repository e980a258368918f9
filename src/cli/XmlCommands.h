#pragma once
#include <QString>
#include <QStringList>

// Runs "sumaris-cli export|validate|schemas ..." (the arguments after the command); returns
// the exit status: 0 done (valid), 1 not exported or not valid (reported), 2 usage error.
// Texts go to standard output in Windows-1250, or UTF-8 when `utf8` is set; XML is UTF-8.
int RunXmlCommand(const QString& command, QStringList args, bool utf8);
