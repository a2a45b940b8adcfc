#include "InstallTarget.h"

#include "FolderTrust.h"
#include "ToolInfo.h"
#include "data/jet4/read/NativePath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace convodesk::dbtool {
namespace {

using jet4::NativePath;
using Refusal = InstallTarget::Refusal;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString shownPath(const QString& path) {
    return path.isEmpty() ? QStringLiteral("/") : path;
}

struct stat statOf(int handle, const QString& path) {
    struct stat info {};
    if (::fstat(handle, &info) != 0)
        throw Refusal{kExitFailure,
                      QStringLiteral("Cannot look at %1: %2").arg(shownPath(path), systemError())};
    return info;
}

// The entry name in folder itself (a link is not followed), or an invalid handle (errno set).
FileHandle openEntry(int folder, const QString& name) {
    return FileHandle(
        ::openat(folder, NativePath::encode(name).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

QString linkText(int link, const QString& path) {
    QByteArray text(4096, '\0');
    const ssize_t length = ::readlinkat(link, "", text.data(), text.size());
    if (length < 0 || length >= text.size())
        throw Refusal{kExitFailure, QStringLiteral("Cannot read the link %1: %2").arg(path, systemError())};
    text.truncate(length);
    return NativePath::decode(text);
}

void refuseUnless(const QString& problem, const QString& link) {
    if (!problem.isEmpty())
        throw Refusal{
            kExitFailure,
            QStringLiteral("%1 is a symbolic link, and convodesk-db install follows a link only where "
                           "nobody but root or you can change it: %2")
                .arg(link, problem)};
}

} // namespace

QString InstallTarget::path() const {
    return folderPath_ + QLatin1Char('/') + name_;
}

InstallTarget::Walk InstallTarget::root() {
    FileHandle top(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!top.isOpen())
        throw Refusal{kExitFailure, QStringLiteral("Cannot open /: %1").arg(systemError())};
    return {std::move(top), QString()};
}

InstallTarget::Walk InstallTarget::walk(Walk at, QStringList components, bool allSafe, int& linksLeft) {
    while (!components.isEmpty()) {
        const QString name = components.takeFirst();
        if (name.isEmpty() || name == QLatin1String("."))
            continue;
        const QString childPath = at.path + QLatin1Char('/') + name;
        FileHandle child = openEntry(at.folder.get(), name);
        if (!child.isOpen()) {
            if (errno == ENOENT)
                throw Refusal{kExitBadInput, QStringLiteral("%1 does not exist").arg(childPath)};
            throw Refusal{kExitFailure, QStringLiteral("Cannot open %1: %2").arg(childPath, systemError())};
        }
        const struct stat entry = statOf(child.get(), childPath);
        if (allSafe || S_ISLNK(entry.st_mode)) {
            const QString problem =
                FolderTrust::folderProblem(statOf(at.folder.get(), at.path), shownPath(at.path),
                                           FolderTrust::trustedOwner(entry.st_uid));
            if (S_ISLNK(entry.st_mode))
                refuseUnless(problem, childPath);
            else if (!problem.isEmpty())
                throw Refusal{kExitFailure,
                              QStringLiteral("Not writing under %1: %2").arg(childPath, problem)};
        }
        if (S_ISLNK(entry.st_mode)) {
            refuseUnless(FolderTrust::ownerProblem(entry, QStringLiteral("the link"), childPath), childPath);
            if (--linksLeft < 0)
                throw Refusal{kExitFailure, QStringLiteral("Too many links on the way to %1").arg(childPath)};
            const QString text = linkText(child.get(), childPath);
            components = text.split(QLatin1Char('/')) + components;
            if (text.startsWith(QLatin1Char('/')))
                at = root();
            continue;
        }
        if (!S_ISDIR(entry.st_mode))
            throw Refusal{kExitBadInput, QStringLiteral("%1 is not a folder").arg(childPath)};
        if (name == QLatin1String(".."))
            at.path = at.path.left(qMax<qsizetype>(at.path.lastIndexOf(QLatin1Char('/')), 0));
        else
            at.path = childPath;
        at.folder = std::move(child);
    }
    if (allSafe) {
        if (const QString problem =
                FolderTrust::folderProblem(statOf(at.folder.get(), at.path), shownPath(at.path), false);
            !problem.isEmpty())
            throw Refusal{kExitFailure,
                          QStringLiteral("Not writing in %1: %2").arg(shownPath(at.path), problem)};
    }
    return at;
}

std::optional<InstallTarget> InstallTarget::resolve(const QString& folder, Refusal& refusal) {
    int linksLeft = 40;
    Walk found;
    try {
        found = walk(root(), NativePath::absolute(folder).split(QLatin1Char('/')), false, linksLeft);
    } catch (const Refusal& problem) {
        refusal =
            problem.exitCode == kExitBadInput
                ? Refusal{kExitBadInput, QStringLiteral("%1 is not a folder: %2").arg(folder, problem.why)}
                : problem;
        return std::nullopt;
    }
    const QString shown = found.path + QStringLiteral("/Tassel.mdb");
    try {
        return resolveFrom(std::move(found), linksLeft, shown);
    } catch (const Refusal& problem) {
        refusal = problem.exitCode == kExitBadInput
                      ? Refusal{kExitBadInput, QStringLiteral("%1 leads to %2, whose folder does not exist")
                                                   .arg(shown, problem.why)}
                      : problem;
        return std::nullopt;
    }
}

std::optional<InstallTarget> InstallTarget::resolveFrom(Walk found, int& linksLeft, const QString& shown) {
    QString name = QStringLiteral("Tassel.mdb");
    bool followed = false;
    for (;;) {
        const QString path = found.path + QLatin1Char('/') + name;
        FileHandle entry = openEntry(found.folder.get(), name);
        if (!entry.isOpen() && errno != ENOENT)
            throw Refusal{kExitFailure, QStringLiteral("Cannot open %1: %2").arg(path, systemError())};
        struct stat info {};
        if (entry.isOpen())
            info = statOf(entry.get(), path);
        if (!entry.isOpen() || S_ISREG(info.st_mode)) {
            if (followed && entry.isOpen())
                refuseUnless(FolderTrust::ownerProblem(info, QStringLiteral("the file"), path), shown);
            InstallTarget target;
            target.folder_ =
                FileHandle(::openat(found.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!target.folder_.isOpen())
                throw Refusal{kExitFailure,
                              QStringLiteral("Cannot open %1: %2").arg(shownPath(found.path), systemError())};
            target.folderPath_ = found.path;
            target.name_ = name;
            return target;
        }
        if (!S_ISLNK(info.st_mode))
            throw Refusal{kExitFailure, QStringLiteral("%1 is not a file").arg(path)};
        refuseUnless(FolderTrust::folderProblem(statOf(found.folder.get(), found.path), shownPath(found.path),
                                                FolderTrust::trustedOwner(info.st_uid)),
                     path);
        refuseUnless(FolderTrust::ownerProblem(info, QStringLiteral("the link"), path), path);
        if (--linksLeft < 0)
            throw Refusal{kExitFailure, QStringLiteral("Too many links on the way from %1").arg(shown)};
        const QString text = linkText(entry.get(), path);
        QStringList parts = text.split(QLatin1Char('/'));
        name = parts.takeLast();
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            throw Refusal{kExitFailure, QStringLiteral("%1 points at a folder, not a file").arg(path)};
        try {
            found =
                walk(text.startsWith(QLatin1Char('/')) ? root() : std::move(found), parts, true, linksLeft);
        } catch (const Refusal& problem) {
            if (problem.exitCode == kExitBadInput)
                throw Refusal{kExitBadInput, text};
            throw Refusal{kExitFailure,
                          QStringLiteral("Not following the link %1: %2").arg(path, problem.why)};
        }
        followed = true;
    }
}

} // namespace convodesk::dbtool
