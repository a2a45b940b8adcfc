#pragma once

#include <QIcon>
#include <QString>

namespace convodesk::resources {

// The program icon in all its sizes (48, 32 and 16 pixels).
QIcon programIcon();

// A picture embedded from images/, e.g. picture("buttons/home.png").
QString picturePath(const QString& relativePath);

} // namespace convodesk::resources
