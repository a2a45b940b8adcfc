#pragma once

#include <QFont>
#include <QStringList>

namespace convodesk::ui {

// Folders searched for the Tahoma files (Debian's fonts-wine installs them outside
// fontconfig's path, so they are registered with the program by hand).
QStringList tahomaFolders();

// Registers Tahoma (regular and bold) and maps the layout's "Myriad Pro" and
// "Myriad Pro Light" to an installed humanist sans. Returns the families registered.
QStringList registerProgramFonts();

// A font as the layout gives it: family, size in points (fractions kept) and weight.
QFont layoutFont(const QString& family, double points, int weight = QFont::Normal);

} // namespace convodesk::ui
