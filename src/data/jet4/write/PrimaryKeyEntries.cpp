#include "PrimaryKeyEntries.h"

#include "IndexPageWriter.h"
#include "data/jet4/Error.h"
#include "data/jet4/IndexKey.h"

#include <QStringList>
#include <algorithm>

namespace convodesk::jet4 {

namespace {

struct KeyedRow {
    QByteArray key;
    std::uint32_t rowPointer = 0;
    std::size_t row = 0;
};

[[noreturn]] void fail(const QString& message) {
    throw Error(Error::Kind::InvalidInput, message);
}

QString shown(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Text:
        return QLatin1Char('"') + value.asText() + QLatin1Char('"');
    case Value::Kind::Integer:
        return QString::number(value.asInteger());
    default:
        return QStringLiteral("(a value)");
    }
}

QString keyText(const WriterTable& table, const std::vector<int>& keyColumns, std::size_t row) {
    QStringList parts;
    for (int c : keyColumns)
        parts << shown(table.rows[row][static_cast<std::size_t>(c)]);
    return parts.join(QStringLiteral(", "));
}

QString columnList(const WriterTable& table, const std::vector<int>& keyColumns) {
    QStringList names;
    for (int c : keyColumns)
        names << QLatin1Char('"') + table.columns[static_cast<std::size_t>(c)].name + QLatin1Char('"');
    return names.join(QStringLiteral(", "));
}

QByteArray keyOf(const WriterTable& table, const std::vector<int>& keyColumns, std::size_t row) {
    IndexKey::Buffer key;
    for (int c : keyColumns) {
        const WriterColumn& column = table.columns[static_cast<std::size_t>(c)];
        const Value& value = table.rows[row][static_cast<std::size_t>(c)];
        ColumnDef def;
        def.type = column.type;
        if (value.isNull())
            fail(QStringLiteral("Table \"%1\", row %2: the primary key column \"%3\" has no value; every row "
                                "needs one.")
                     .arg(table.name)
                     .arg(row + 1)
                     .arg(column.name));
        if (!IndexKey::append(def, true, value, key))
            fail(QStringLiteral("Table \"%1\", row %2: the value of the primary key column \"%3\" cannot be "
                                "put in an index.")
                     .arg(table.name)
                     .arg(row + 1)
                     .arg(column.name));
    }
    return {reinterpret_cast<const char*>(key.data()), key.size()};
}

QByteArray entryOf(KeyedRow&& keyed) {
    QByteArray entry = std::move(keyed.key);
    const std::uint32_t page = keyed.rowPointer >> 8;
    entry.append(static_cast<char>(page >> 16));
    entry.append(static_cast<char>(page >> 8));
    entry.append(static_cast<char>(page));
    entry.append(static_cast<char>(keyed.rowPointer & 0xFF));
    return entry;
}

} // namespace

std::vector<QByteArray> PrimaryKeyEntries::build(const WriterTable& table, const std::vector<int>& keyColumns,
                                                 const std::vector<std::uint32_t>& rowPointers) {
    std::vector<KeyedRow> rows(table.rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = {keyOf(table, keyColumns, r), rowPointers[r], r};
    std::sort(rows.begin(), rows.end(), [](const KeyedRow& a, const KeyedRow& b) {
        const int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : a.rowPointer < b.rowPointer;
    });
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].key != rows[i - 1].key)
            continue;
        const auto [first, second] = std::minmax(rows[i - 1].row, rows[i].row);
        fail(QStringLiteral("Table \"%1\": rows %2 and %3 have the same primary key (%4 and %5) in %6; each "
                            "row needs its own (letter case and trailing spaces do not count).")
                 .arg(table.name)
                 .arg(first + 1)
                 .arg(second + 1)
                 .arg(keyText(table, keyColumns, first), keyText(table, keyColumns, second),
                      columnList(table, keyColumns)));
    }
    // Each key becomes its entry in place: a million rows are not held twice.
    std::vector<QByteArray> entries;
    entries.reserve(rows.size());
    for (KeyedRow& keyed : rows) {
        const std::size_t row = keyed.row;
        entries.push_back(entryOf(std::move(keyed)));
        if (entries.back().size() > IndexPageWriter::maxEntryLength())
            fail(QStringLiteral("Table \"%1\", row %2: the primary key (%3) is too long for an index.")
                     .arg(table.name)
                     .arg(row + 1)
                     .arg(columnList(table, keyColumns)));
    }
    return entries;
}

} // namespace convodesk::jet4
