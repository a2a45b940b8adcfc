#include "TempDatabase.h"

#include <QDir>

namespace convodesk::testing {

TempDatabase::TempDatabase() = default;

QString TempDatabase::path(const QString& name) const {
    return dir_.filePath(name);
}

QString TempDatabase::write(const std::vector<jet4::WriterTable>& tables,
                            const std::vector<jet4::QueryDef>& queries, const QString& name) const {
    QString p = path(name);
    jet4::writeDatabase(p, tables, queries);
    return p;
}

QStringList TempDatabase::files() const {
    return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace convodesk::testing
