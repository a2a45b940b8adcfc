#pragma once

#include <QStringList>
#include <QTextStream>

namespace convodesk::dbtool {

// convodesk-db check FILE: whether FILE can serve every screen of the desk. Lists each row
// source with its row count, then warnings about the data. Exit 0 when every screen will
// work, 1 when one would fail, 2 when the file cannot be read. A failure shared by several
// sources (a damaged table read by each) is listed once, naming all of them.
class CheckCommand {
public:
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
    static QString helpText();
    // The check itself, for `command` (which labels its error messages).
    static int checkFile(const QString& file, QTextStream& out, QTextStream& err, const QString& command);
};

} // namespace convodesk::dbtool
