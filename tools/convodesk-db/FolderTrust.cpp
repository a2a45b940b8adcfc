#include "FolderTrust.h"

#include <pwd.h>
#include <unistd.h>

namespace convodesk::dbtool {

bool FolderTrust::trustedOwner(uid_t owner) {
    return owner == 0 || owner == ::geteuid();
}

QString FolderTrust::ownerText(uid_t owner) {
    if (const passwd* account = ::getpwuid(owner))
        return QStringLiteral("user %1 (uid %2)").arg(QString::fromLocal8Bit(account->pw_name)).arg(owner);
    return QStringLiteral("uid %1").arg(owner);
}

QString FolderTrust::ownerProblem(const struct stat& entry, const QString& what, const QString& path) {
    if (trustedOwner(entry.st_uid))
        return {};
    return QStringLiteral("%1 %2 belongs to %3, not to root or you").arg(what, path, ownerText(entry.st_uid));
}

QString FolderTrust::folderProblem(const struct stat& folder, const QString& path, bool childOwnerTrusted) {
    if (QString problem = ownerProblem(folder, QStringLiteral("the folder"), path); !problem.isEmpty())
        return problem;
    const bool othersMayWrite = (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (!othersMayWrite || ((folder.st_mode & S_ISVTX) != 0 && childOwnerTrusted))
        return {};
    return QStringLiteral("the folder %1 may be written by others (mode %2)")
        .arg(path)
        .arg(folder.st_mode & 07777, 4, 8, QLatin1Char('0'));
}

} // namespace convodesk::dbtool
