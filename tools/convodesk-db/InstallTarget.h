#pragma once

#include "FileHandle.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace convodesk::dbtool {

// Where `install` writes: an open folder and the name in it that the desk reads. Found from
// DIR/Tassel.mdb one name at a time, so that no user other than root or the caller can turn
// the tool elsewhere: a link (in DIR's own path, or at Tassel.mdb) is followed only when the
// folder holding it is safe (FolderTrust) and root or the caller owns it; past the link at
// Tassel.mdb every folder on the way must be safe and the file there, if any, owned by root
// or the caller. Anything else is refused with the reason, before anything changes.
class InstallTarget {
public:
    struct Refusal {
        int exitCode;
        QString why;
    };

    // The target for DIR, or why there is none (refusal set).
    static std::optional<InstallTarget> resolve(const QString& folder, Refusal& refusal);

    int folder() const { return folder_.get(); }
    QString folderPath() const { return folderPath_; }
    QString name() const { return name_; }
    QString path() const;

private:
    struct Walk {
        FileHandle folder;
        QString path; // absolute, as walked; empty for "/"
    };
    static Walk root();
    // Follows components from start; every folder passed must be safe when allSafe, links are
    // followed only where safe; throws Refusal.
    static Walk walk(Walk start, QStringList components, bool allSafe, int& linksLeft);
    static std::optional<InstallTarget> resolveFrom(Walk found, int& linksLeft, const QString& shown);

    FileHandle folder_;
    QString folderPath_;
    QString name_;
};

} // namespace convodesk::dbtool
