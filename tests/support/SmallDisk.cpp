#include "SmallDisk.h"

#include <QFile>
#include <QProcess>
#include <QStorageInfo>

namespace convodesk::testing {

SmallDisk::SmallDisk(const QString& options) : options_(options) {}

SmallDisk::~SmallDisk() {
    unmount();
}

bool SmallDisk::available() {
    if (!mount())
        return false;
    unmount();
    return true;
}

bool SmallDisk::mount() {
    mounted_ = QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                  options_, QStringLiteral("tmpfs"), path()}) == 0;
    return mounted_;
}

void SmallDisk::unmount() {
    if (mounted_)
        QProcess::execute(QStringLiteral("umount"), {path()});
    mounted_ = false;
}

void SmallDisk::fillLeaving(qint64 free) const {
    const qint64 available = QStorageInfo(path()).bytesAvailable();
    QFile filler(filePath(QStringLiteral("filler")));
    if (filler.open(QIODevice::WriteOnly))
        filler.write(QByteArray(qMax<qint64>(available - free, 0), '\0'));
}

} // namespace convodesk::testing
