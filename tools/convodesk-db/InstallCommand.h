#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace convodesk::dbtool {

// `convodesk-db install FILE [--folder DIR]`: puts FILE in place as the desk's Tassel.mdb in
// DIR (by default the folder convodesk-db itself lives in, which is the desk program's
// folder), but only when `check` finds that every screen can use it. Where DIR/Tassel.mdb is
// a symbolic link that only root or the caller could have made and aimed (InstallTarget), the
// file it points to is replaced. The new file takes the owner, group and mode of the one it
// replaces; that one is kept as Tassel.mdb.previous next to it. Exit 0: installed; 1: the file would make a
// screen fail, or the folder cannot be written; 2: bad arguments or FILE cannot be read. Nothing changes
// unless the exit status is 0.
class InstallCommand {
public:
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
    static QString helpText();
};

} // namespace convodesk::dbtool
