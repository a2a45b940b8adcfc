#include "DatabaseSwap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace convodesk::dbtool {
namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// Flushes a finished file, or a folder's list of names, to the disk.
void syncPath(const QString& path) {
    const int handle = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
}

// Copies source to target byte for byte; empty on success.
QString copyBytes(QFile& source, QFile& target) {
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(1 << 20);
        if (chunk.isEmpty() && source.error() != QFile::NoError)
            return QStringLiteral("Cannot read %1: %2").arg(source.fileName(), source.errorString());
        if (target.write(chunk) != chunk.size())
            return QStringLiteral("Cannot write %1: %2").arg(target.fileName(), target.errorString());
    }
    if (!target.flush())
        return QStringLiteral("Cannot write %1: %2").arg(target.fileName(), target.errorString());
    ::fsync(target.handle());
    return {};
}

constexpr QFile::Permissions kDatabasePermissions =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;

} // namespace

DatabaseSwap::DatabaseSwap(QString target) : target_(std::move(target)) {}

QString DatabaseSwap::stage(const QString& source) {
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read %1: %2").arg(source, input.errorString());
    const QString folder = QFileInfo(target_).absolutePath();
    staged_ = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.") + QFileInfo(target_).fileName() +
                                               QStringLiteral(".install-XXXXXX"));
    if (!staged_->open())
        return QStringLiteral("Cannot write in %1: %2").arg(folder, staged_->errorString());
    if (const QString problem = copyBytes(input, *staged_); !problem.isEmpty())
        return problem;
    staged_->setPermissions(kDatabasePermissions);
    return {};
}

QString DatabaseSwap::stagedPath() const {
    return staged_ ? staged_->fileName() : QString();
}

QString DatabaseSwap::commit() {
    if (!staged_)
        return QStringLiteral("Nothing was staged.");
    QString previous; // a second name of the current file, until it becomes NAME.previous
    if (QFileInfo::exists(target_)) {
        previous = QStringLiteral("%1.previous-%2").arg(stagedPath()).arg(QCoreApplication::applicationPid());
        if (const QString problem = linkCurrent(previous); !problem.isEmpty())
            return problem;
    }
    if (::rename(encoded(staged_->fileName()).constData(), encoded(target_).constData()) != 0) {
        const QString problem =
            QStringLiteral("Cannot rename %1 to %2: %3").arg(staged_->fileName(), target_, systemError());
        if (!previous.isEmpty())
            QFile::remove(previous);
        return problem;
    }
    staged_->setAutoRemove(false);
    staged_.reset();
    if (!previous.isEmpty()) {
        if (::rename(encoded(previous).constData(), encoded(previousPath()).constData()) != 0)
            return QStringLiteral("The new file is in place, but the previous one could not be kept as %1 (%2); "
                                  "it is still there as %3.")
                .arg(previousPath(), systemError(), previous);
        keptPrevious_ = true;
    }
    syncPath(QFileInfo(target_).absolutePath());
    return {};
}

// A second name for the current file (a copy where the file system has no hard links).
QString DatabaseSwap::linkCurrent(const QString& name) {
    QFile::remove(name);
    if (::link(encoded(target_).constData(), encoded(name).constData()) == 0)
        return {};
    QFile current(target_);
    QFile copy(name);
    if (!current.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot keep %1 as %2: %3").arg(target_, previousPath(), systemError());
    const QString problem = copyBytes(current, copy);
    copy.close();
    if (!problem.isEmpty()) {
        QFile::remove(name);
        return problem;
    }
    copy.setPermissions(current.permissions());
    return {};
}

} // namespace convodesk::dbtool
