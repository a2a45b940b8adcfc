#include "ResourcePaths.h"

namespace convodesk::resources {

QIcon programIcon() {
    QIcon icon;
    for (int size : {48, 32, 16})
        icon.addFile(picturePath(QStringLiteral("icon/program-%1.png").arg(size)), QSize(size, size));
    return icon;
}

QString picturePath(const QString& relativePath) {
    return QStringLiteral(":/images/") + relativePath;
}

} // namespace convodesk::resources
