#pragma once

#include <QString>
#include <sys/stat.h>

namespace convodesk::dbtool {

// Who could change a name: only root and the user running the tool are trusted. A folder is
// safe to pass through when a trusted user owns it and nobody else may write in it, or when
// it is a sticky folder (such as /tmp) and a trusted user owns the entry passed to, which
// then nobody else may rename or remove.
class FolderTrust {
public:
    static bool trustedOwner(uid_t owner);
    // "user NAME (uid N)", or "uid N" for an account without a name.
    static QString ownerText(uid_t owner);

    // Why nobody but a trusted user can change the entry `what` at path: empty when so.
    static QString ownerProblem(const struct stat& entry, const QString& what, const QString& path);
    // Why someone else could change the names in folder: empty when nobody can. With
    // childOwnerTrusted a sticky folder is accepted (see above).
    static QString folderProblem(const struct stat& folder, const QString& path, bool childOwnerTrusted);
};

} // namespace convodesk::dbtool
