#include "TableLayout.h"

#include "Writer.h"

namespace convodesk::jet4 {

bool isFixedType(ColumnType type) {
    return type != ColumnType::Text && type != ColumnType::Binary && !isLongValueType(type);
}

bool isLongValueType(ColumnType type) {
    return type == ColumnType::Memo || type == ColumnType::Ole;
}

TableLayout TableLayout::fromColumns(const std::vector<WriterColumn>& columns) {
    TableLayout layout;
    int number = 0;
    for (const WriterColumn& c : columns) {
        LayoutColumn l;
        l.name = c.name;
        l.type = c.type;
        l.number = number++;
        l.fixed = isFixedType(c.type);
        if (l.fixed) {
            l.fixedOffset = layout.fixedAreaSize;
            l.length = fixedSizeOf(c.type);
            layout.fixedAreaSize += l.length;
        } else {
            l.varIndex = layout.varColumnCount++;
            if (c.type == ColumnType::Text) {
                l.maxChars = c.maxChars;
                l.length = 2 * c.maxChars;
            } else if (c.type == ColumnType::Binary) {
                l.length = c.maxChars;
            }
        }
        layout.columns.push_back(l);
    }
    return layout;
}

int TableLayout::longValueColumnCount() const {
    int n = 0;
    for (const LayoutColumn& c : columns)
        n += isLongValueType(c.type) ? 1 : 0;
    return n;
}

} // namespace convodesk::jet4
