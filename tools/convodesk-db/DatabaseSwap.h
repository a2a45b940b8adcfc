#pragma once

#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace convodesk::dbtool {

// Replaces a database file that a running desk may be reading, so that every reader sees
// either the whole old file or the whole new one:
// 1. stage(): copies the new file to a hidden temporary file in the target's folder;
// 2. commit(): gives the current file a second (hard) name, renames the copy over NAME,
//    then renames the second name to NAME.previous. These are renames within one folder, so
//    NAME never goes missing, and a reader that has the old file open keeps an unchanged
//    file. Until the copy is in place the folder is left as it was.
class DatabaseSwap {
public:
    explicit DatabaseSwap(QString target);

    // Empty on success, else what went wrong.
    QString stage(const QString& source);
    QString stagedPath() const;
    QString commit();

    QString previousPath() const { return target_ + QStringLiteral(".previous"); }
    bool keptPrevious() const { return keptPrevious_; }

private:
    QString linkCurrent(const QString& name);

    QString target_;
    std::unique_ptr<QTemporaryFile> staged_;
    bool keptPrevious_ = false;
};

} // namespace convodesk::dbtool
