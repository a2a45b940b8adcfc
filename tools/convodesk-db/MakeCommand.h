#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace convodesk::dbtool {

// `convodesk-db make`: builds a desk database from a graduates and a programmes CSV file.
class MakeCommand {
public:
    struct Options {
        QString graduates;
        QString programmes;
        QString output;
        bool force = false;
        bool graduateAsTable = false;
        bool help = false;
    };

    // args: the arguments after "make". Returns the exit code.
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
    static QString helpText();

private:
    // Empty string when the arguments are fine, else the problem.
    static QString parse(const QStringList& args, Options& options);
};

} // namespace convodesk::dbtool
