#include "TableDef.h"

namespace convodesk::jet4 {

int TableDef::columnIndex(QStringView columnName) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(columnName, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace convodesk::jet4
