#pragma once

#include <QProcess>
#include <QString>

// Runs a command of Debian's trash-cli, which finds the trash through
// XDG_DATA_HOME as the program does; a restore answers its question with the
// first file offered. Returns what the command printed.
inline QByteArray RunTrashCli(const QString& program, const QString& path = {})
{
    QProcess process;
    process.start(program, path.isEmpty() ? QStringList() : QStringList{path});
    process.write("0\n");
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}
