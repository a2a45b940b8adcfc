#pragma once

#include "FileHandle.h"
#include "InstallTarget.h"

#include <QString>
#include <sys/stat.h>

namespace convodesk::dbtool {

// Replaces a database file that a running desk may be reading, so that every reader sees
// either the whole old file or the whole new one:
// 1. stage(): copies the new file to a hidden file of its own in the target's folder;
// 2. commit(): gives it the old file's owner, group and mode, gives the old file a second
//    (hard) name, renames the copy over NAME, then renames the second name to NAME.previous.
//    These are renames within one folder, so NAME never goes missing, and a reader that has
//    the old file open keeps an unchanged file. Until the copy is in place the folder is left
//    as it was.
// Everything happens inside the target's open folder: each new name is created afresh
// (never through a link or over a name that exists) and set up through its own descriptor,
// so names planted in the folder meanwhile cannot turn a write elsewhere.
class DatabaseSwap {
public:
    explicit DatabaseSwap(const InstallTarget& target) : target_(target) {}
    ~DatabaseSwap();
    DatabaseSwap(const DatabaseSwap&) = delete;
    DatabaseSwap& operator=(const DatabaseSwap&) = delete;

    // Empty on success, else what went wrong.
    QString stage(const QString& source);
    // A path that reads the staged copy itself, whatever happens to its name.
    QString stagedPath() const;
    QString commit();

    QString previousPath() const { return target_.path() + QStringLiteral(".previous"); }
    bool keptPrevious() const { return keptPrevious_; }

private:
    // ".NAME.KIND-" and a random part nobody can foresee.
    QString hiddenName(const QString& kind) const;
    // A new hidden file "KIND" in the folder, opened for writing; empty on success.
    QString createHidden(const QString& kind, FileHandle& file, QString& name);
    QString keepCurrent(QString& name);
    QString copyCurrent(QString& name);
    QString shown(const QString& name) const { return target_.folderPath() + QLatin1Char('/') + name; }
    void removeName(const QString& name) const;

    const InstallTarget& target_;
    FileHandle staged_;
    QString stagedName_;
    bool keptPrevious_ = false;
};

} // namespace convodesk::dbtool
