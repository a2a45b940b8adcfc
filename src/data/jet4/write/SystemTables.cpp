#include "SystemTables.h"

namespace convodesk::jet4 {

std::vector<WriterColumn> SystemTables::catalogColumns() {
    return {
        {QStringLiteral("Id"), ColumnType::Long, 0},
        {QStringLiteral("ParentId"), ColumnType::Long, 0},
        {QStringLiteral("Name"), ColumnType::Text, 255},
        {QStringLiteral("Type"), ColumnType::Integer, 0},
        {QStringLiteral("DateCreate"), ColumnType::DateTime, 0},
        {QStringLiteral("DateUpdate"), ColumnType::DateTime, 0},
        {QStringLiteral("Owner"), ColumnType::Binary, 510},
        {QStringLiteral("Flags"), ColumnType::Long, 0},
        {QStringLiteral("Database"), ColumnType::Memo, 0},
        {QStringLiteral("Connect"), ColumnType::Memo, 0},
        {QStringLiteral("ForeignName"), ColumnType::Text, 255},
        {QStringLiteral("RmtInfoShort"), ColumnType::Binary, 510},
        {QStringLiteral("RmtInfoLong"), ColumnType::Ole, 0},
        {QStringLiteral("Lv"), ColumnType::Ole, 0},
        {QStringLiteral("LvProp"), ColumnType::Ole, 0},
        {QStringLiteral("LvModule"), ColumnType::Ole, 0},
        {QStringLiteral("LvExtra"), ColumnType::Ole, 0},
    };
}

std::vector<WriterColumn> SystemTables::queryColumns() {
    return {
        {QStringLiteral("ObjectId"), ColumnType::Long, 0},
        {QStringLiteral("Attribute"), ColumnType::Byte, 0},
        {QStringLiteral("Order"), ColumnType::Binary, 510},
        {QStringLiteral("Name1"), ColumnType::Text, 255},
        {QStringLiteral("Name2"), ColumnType::Text, 255},
        {QStringLiteral("Expression"), ColumnType::Memo, 0},
        {QStringLiteral("Flag"), ColumnType::Integer, 0},
        {QStringLiteral("LvExtra"), ColumnType::Long, 0},
    };
}

} // namespace convodesk::jet4
