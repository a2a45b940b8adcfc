#include "DatabaseSwap.h"

#include "data/jet4/read/NativePath.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace convodesk::dbtool {
namespace {

using jet4::NativePath;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray encoded(const QString& name) {
    return NativePath::encode(name);
}

// Copies every byte from one descriptor to another and flushes it to the disk; empty on
// success, else the system's reason (a full disk is "No space left on device").
QString copyBytes(int from, const QString& fromPath, int to, const QString& toPath) {
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(from, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return QStringLiteral("Cannot read %1: %2").arg(fromPath, systemError());
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, chunk.constData() + done, got - done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return QStringLiteral("Cannot write %1: %2")
                    .arg(toPath, put < 0 ? systemError() : QStringLiteral("nothing written"));
            done += put;
        }
    }
    if (::fsync(to) != 0)
        return QStringLiteral("Cannot write %1: %2").arg(toPath, systemError());
    return {};
}

// The new file gets what the old one had: owner, group and mode (no set-id bits). Where the
// caller may not give the owner or group, the permissions that depended on them are dropped.
void takeAccessOf(int file, const struct stat& old) {
    mode_t mode = old.st_mode & 0777;
    if (::fchown(file, old.st_uid, old.st_gid) != 0 && ::fchown(file, uid_t(-1), old.st_gid) != 0)
        mode &= ~mode_t(0077);
    ::fchmod(file, mode);
}

constexpr mode_t kNewDatabaseMode = 0644;

} // namespace

DatabaseSwap::~DatabaseSwap() {
    if (staged_.isOpen()) {
        staged_.close();
        removeName(stagedName_);
    }
}

QString DatabaseSwap::hiddenName(const QString& kind) const {
    const quint64 unguessable = QRandomGenerator::system()->generate64() & 0xFFFFFFFFFFFFull;
    return QStringLiteral(".%1.%2-%3").arg(target_.name(), kind).arg(unguessable, 10, 36, QLatin1Char('0'));
}

void DatabaseSwap::removeName(const QString& name) const {
    ::unlinkat(target_.folder(), encoded(name).constData(), 0);
}

QString DatabaseSwap::createHidden(const QString& kind, FileHandle& file, QString& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = hiddenName(kind);
        file = FileHandle(::openat(target_.folder(), encoded(name).constData(),
                                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.isOpen())
            return {};
        if (errno != EEXIST)
            break;
    }
    QString problem = QStringLiteral("Cannot write in %1: %2").arg(target_.folderPath(), systemError());
    if ((errno == EACCES || errno == EPERM) && ::geteuid() != 0)
        problem +=
            QStringLiteral(". Writing there needs root: run it with sudo (sudo convodesk-db install ...)");
    return problem;
}

QString DatabaseSwap::stage(const QString& source) {
    // Without waiting for a writer, should FILE have been swapped for a pipe.
    FileHandle input(::open(encoded(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!input.isOpen() || ::fstat(input.get(), &info) != 0)
        return QStringLiteral("Cannot read %1: %2").arg(source, systemError());
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("%1 is no longer a plain file.").arg(source);
    if (QString problem = createHidden(QStringLiteral("install"), staged_, stagedName_); !problem.isEmpty())
        return problem;
    return copyBytes(input.get(), source, staged_.get(), shown(stagedName_));
}

QString DatabaseSwap::stagedPath() const {
    const QString own = QStringLiteral("/proc/self/fd/%1").arg(staged_.get());
    return QFileInfo::exists(own) ? own : shown(stagedName_);
}

QString DatabaseSwap::commit() {
    if (!staged_.isOpen())
        return QStringLiteral("Nothing was staged.");
    struct stat current {};
    const bool replacing =
        ::fstatat(target_.folder(), encoded(target_.name()).constData(), &current, AT_SYMLINK_NOFOLLOW) == 0;
    if (!replacing && errno != ENOENT)
        return QStringLiteral("Cannot look at %1: %2").arg(target_.path(), systemError());
    if (replacing && !S_ISREG(current.st_mode))
        return QStringLiteral("%1 is no longer a plain file (it was changed meanwhile). Nothing was changed.")
            .arg(target_.path());
    if (replacing)
        takeAccessOf(staged_.get(), current);
    else
        ::fchmod(staged_.get(), kNewDatabaseMode);
    QString previous; // a second name of the current file, until it becomes NAME.previous
    if (replacing) {
        if (QString problem = keepCurrent(previous); !problem.isEmpty())
            return problem;
    }
    if (::renameat(target_.folder(), encoded(stagedName_).constData(), target_.folder(),
                   encoded(target_.name()).constData()) != 0) {
        QString problem = QStringLiteral("Cannot rename %1 to %2: %3")
                              .arg(shown(stagedName_), target_.path(), systemError());
        if (!previous.isEmpty())
            removeName(previous);
        return problem;
    }
    staged_.close();
    if (!previous.isEmpty()) {
        if (::renameat(target_.folder(), encoded(previous).constData(), target_.folder(),
                       encoded(target_.name() + QStringLiteral(".previous")).constData()) != 0)
            return QStringLiteral(
                       "The new file is in place, but the previous one could not be kept as %1 (%2); "
                       "it is still there as %3.")
                .arg(previousPath(), systemError(), shown(previous));
        keptPrevious_ = true;
    }
    ::fsync(target_.folder());
    return {};
}

// A second name for the current file: a hard link, or a copy where the file system has none.
QString DatabaseSwap::keepCurrent(QString& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = hiddenName(QStringLiteral("previous"));
        if (::linkat(target_.folder(), encoded(target_.name()).constData(), target_.folder(),
                     encoded(name).constData(), 0) == 0)
            return {};
        if (errno != EEXIST)
            break;
    }
    if (errno != EPERM && errno != EMLINK && errno != EOPNOTSUPP && errno != ENOSYS) {
        QString problem =
            QStringLiteral("Cannot keep %1 as %2: %3").arg(target_.path(), previousPath(), systemError());
        name.clear();
        return problem;
    }
    return copyCurrent(name);
}

QString DatabaseSwap::copyCurrent(QString& name) {
    name.clear();
    FileHandle current(
        ::openat(target_.folder(), encoded(target_.name()).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!current.isOpen() || ::fstat(current.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return QStringLiteral("Cannot keep %1 as %2: %3").arg(target_.path(), previousPath(), systemError());
    FileHandle copy;
    QString copyName;
    if (QString problem = createHidden(QStringLiteral("previous"), copy, copyName); !problem.isEmpty())
        return problem;
    if (QString problem = copyBytes(current.get(), target_.path(), copy.get(), shown(copyName));
        !problem.isEmpty()) {
        copy.close();
        removeName(copyName);
        return problem;
    }
    takeAccessOf(copy.get(), info);
    name = copyName;
    return {};
}

} // namespace convodesk::dbtool
