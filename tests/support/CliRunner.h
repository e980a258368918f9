#pragma once
// Runs sumaris-cli from beside the test program, as a user would, and collects what it gave.
#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

struct CliResult {
    int status;
    QByteArray out, err;
};

inline CliResult RunCliTool(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/sumaris-cli"), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}
