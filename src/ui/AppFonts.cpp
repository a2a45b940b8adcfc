#include "AppFonts.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace convodesk::ui {

QStringList tahomaFolders() {
    return {QStringLiteral("/usr/share/wine/fonts")};
}

QStringList registerProgramFonts() {
    QStringList families;
    for (const QString& folder : tahomaFolders()) {
        for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
            const QString path = QDir(folder).filePath(QString::fromLatin1(file));
            if (!QFile::exists(path))
                continue;
            const int id = QFontDatabase::addApplicationFont(path);
            if (id >= 0)
                families += QFontDatabase::applicationFontFamilies(id);
        }
    }
    families.removeDuplicates();
    const QStringList humanist = {QStringLiteral("Source Sans 3"), QStringLiteral("Source Sans Pro"),
                                  QStringLiteral("Open Sans"), QStringLiteral("PT Sans"),
                                  QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Myriad Pro"), humanist);
    QFont::insertSubstitutions(QStringLiteral("Myriad Pro Light"), humanist);
    return families;
}

QFont layoutFont(const QString& family, double points, int weight) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    return font;
}

} // namespace convodesk::ui
