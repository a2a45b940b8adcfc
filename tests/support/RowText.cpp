#include "RowText.h"

#include "data/DisplayText.h"
#include "data/Recordset.h"

namespace convodesk::testing {

QString cellText(const jet4::Value& value) {
    return value.isNull() ? QStringLiteral("<null>") : data::displayText(value);
}

QString rowText(const std::vector<jet4::Value>& row) {
    QStringList cells;
    for (const jet4::Value& value : row)
        cells << cellText(value);
    return cells.join(QLatin1Char('|'));
}

QStringList rowTexts(const data::query::RowSet& rows) {
    QStringList out;
    for (const auto& row : rows.rows)
        out << rowText(row);
    return out;
}

QStringList columnTexts(const data::query::RowSet& rows, int index) {
    QStringList out;
    for (const auto& row : rows.rows)
        out << cellText(row[static_cast<std::size_t>(index)]);
    return out;
}

QStringList columnTexts(const data::query::RowSet& rows, const QString& name) {
    for (std::size_t i = 0; i < rows.columns.size(); ++i)
        if (rows.columns[i].name == name)
            return columnTexts(rows, static_cast<int>(i));
    return {QStringLiteral("<no column %1>").arg(name)};
}

QStringList rowTexts(data::Recordset& recordset) {
    QStringList out;
    const int fields = static_cast<int>(recordset.fieldNames().size());
    for (; !recordset.eof(); recordset.moveNext()) {
        std::vector<jet4::Value> row;
        row.reserve(fields);
        for (int i = 0; i < fields; ++i)
            row.push_back(recordset.field(i));
        out << rowText(row);
    }
    return out;
}

} // namespace convodesk::testing
