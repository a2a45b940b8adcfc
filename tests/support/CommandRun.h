#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace convodesk::testing {

// What one command said and returned: a convodesk-db command run in this process, or a program.
struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Command::run (a convodesk-db command) in this process.
template <typename Command> CommandRun runCommand(const QStringList& args) {
    CommandRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.exitCode = Command::run(args, out, err);
    out.flush();
    err.flush();
    return result;
}

} // namespace convodesk::testing
