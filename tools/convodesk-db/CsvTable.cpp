#include "CsvTable.h"

namespace convodesk::dbtool {

int CsvTable::columnIndex(const QString& name) const {
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (header[i].trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace convodesk::dbtool
