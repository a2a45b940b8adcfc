#include "IndexCheck.h"

#include "data/jet4/IndexKey.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/IndexWalker.h"
#include "data/jet4/read/TableCursor.h"

#include <algorithm>
#include <vector>

namespace convodesk::dbtool {
namespace {

using jet4::ColumnDef;
using jet4::ColumnType;
using jet4::IndexKey;
using jet4::RealIndexDef;
using jet4::TableDef;

struct Entry {
    std::uint32_t rowPointer = 0;
    QByteArray key;
    bool matched = false;
};

bool isText(const ColumnDef& column) {
    return column.type == ColumnType::Text || column.type == ColumnType::Memo;
}

// "PrimaryKey" (or the names of every logical index sharing it) for messages.
QString indexName(const TableDef& table, int realIndex) {
    QStringList names;
    for (const jet4::LogicalIndexDef& logical : table.logicalIndexes)
        if (logical.realIndex == realIndex)
            names << QLatin1Char('"') + logical.name + QLatin1Char('"');
    return names.isEmpty() ? QStringLiteral("index %1").arg(realIndex)
                           : QStringLiteral("index %1").arg(names.join(QStringLiteral(" / ")));
}

// Where a stored text key that starts at `from` ends: after its 00 (ascending) or after its
// FF 00 (descending); -1 if it does not end.
qsizetype textKeyEnd(const QByteArray& stored, qsizetype from, bool ascending) {
    for (qsizetype i = from; i < stored.size(); ++i) {
        if (ascending && stored[i] == '\0')
            return i + 1;
        if (!ascending && static_cast<std::uint8_t>(stored[i]) == 0xFF && i + 1 < stored.size() &&
            stored[i + 1] == '\0')
            return i + 2;
    }
    return -1;
}

// Whether the stored key agrees with the key each column's value gives: whole for other
// types, for text up to the end of its letters part (the rest may differ between Access
// versions), each column's stored part found by its end mark.
bool keysAgree(const TableDef& table, const RealIndexDef& index, const std::vector<QByteArray>& parts,
               const QByteArray& stored) {
    qsizetype at = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QByteArray& ours = parts[i];
        const ColumnDef& column = table.columns[static_cast<std::size_t>(index.columns[i].columnIndex)];
        const bool ascending = index.columns[i].ascending;
        if (!isText(column) || ours.size() == 1) {
            if (stored.mid(at, ours.size()) != ours)
                return false;
            at += ours.size();
            continue;
        }
        const qsizetype trusted = IndexKey::trustedLength(
            column, ascending, reinterpret_cast<const std::uint8_t*>(ours.constData()), ours.size());
        if (stored.mid(at, trusted) != ours.left(trusted))
            return false;
        at = textKeyEnd(stored, at + trusted, ascending);
        if (at < 0)
            return false;
    }
    return at == stored.size();
}

QString checkIndex(const jet4::Database& database, const TableDef& table, int realIndex) {
    const RealIndexDef& index = table.realIndexes[static_cast<std::size_t>(realIndex)];
    std::vector<Entry> entries;
    for (auto walker = database.walkIndex(table, realIndex); walker->next();)
        entries.push_back({(walker->dataPage() << 8) | static_cast<std::uint32_t>(walker->rowSlot() & 0xFF),
                           QByteArray(reinterpret_cast<const char*>(walker->key()), walker->keySize())});
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.rowPointer < b.rowPointer; });
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].rowPointer == entries[i - 1].rowPointer)
            return QStringLiteral("two entries name the same row");

    auto cursor = database.openCursor(table);
    std::vector<QByteArray> parts(index.columns.size());
    while (cursor->next()) {
        bool allNull = true;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const int column = index.columns[i].columnIndex;
            const jet4::Value value = cursor->value(column);
            allNull = allNull && value.isNull();
            IndexKey::Buffer key;
            if (!IndexKey::append(table.columns[static_cast<std::size_t>(column)], index.columns[i].ascending,
                                  value, key))
                return QStringLiteral("row %1 holds a value its index cannot key").arg(cursor->rowsRead());
            parts[i] = QByteArray(reinterpret_cast<const char*>(key.data()), key.size());
        }
        const std::uint32_t pointer = cursor->rowPointer();
        const auto found = std::lower_bound(entries.begin(), entries.end(), pointer,
                                            [](const Entry& e, std::uint32_t p) { return e.rowPointer < p; });
        const bool listed = found != entries.end() && found->rowPointer == pointer;
        if (allNull && index.ignoreNulls()) {
            if (listed)
                return QStringLiteral("row %1 has only Nulls in its columns but an entry")
                    .arg(cursor->rowsRead());
            continue;
        }
        if (!listed)
            return QStringLiteral("row %1 has no entry").arg(cursor->rowsRead());
        if (!keysAgree(table, index, parts, found->key))
            return QStringLiteral("the entry of row %1 does not hold the row's key").arg(cursor->rowsRead());
        found->matched = true;
    }
    const auto stray =
        std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return !e.matched; });
    if (stray > 0)
        return QStringLiteral("%1 entries name no row of the table").arg(stray);
    return {};
}

} // namespace

IndexCheck::Result IndexCheck::checkTable(const jet4::Database& database, const TableDef& table) {
    Result result;
    for (std::size_t n = 0; n < table.realIndexes.size(); ++n) {
        const int realIndex = static_cast<int>(n);
        const QString where = QStringLiteral("%1, %2").arg(table.name, indexName(table, realIndex));
        const auto unkeyed =
            std::find_if(table.realIndexes[n].columns.begin(), table.realIndexes[n].columns.end(),
                         [&](const jet4::IndexColumnDef& c) {
                             return !IndexKey::canKey(table.columns[static_cast<std::size_t>(c.columnIndex)]);
                         });
        if (unkeyed != table.realIndexes[n].columns.end()) {
            const ColumnDef& column = table.columns[static_cast<std::size_t>(unkeyed->columnIndex)];
            result.unchecked << QStringLiteral("%1: not checked (column \"%2\"%3)")
                                    .arg(where, column.name,
                                         isText(column)
                                             ? QStringLiteral(" is sorted in ") + column.sortOrder.describe()
                                             : QStringLiteral(" has no index keys here"));
            continue;
        }
        if (const QString problem = checkIndex(database, table, realIndex); !problem.isEmpty())
            result.damage << QStringLiteral("%1 is damaged: %2").arg(where, problem);
    }
    return result;
}

} // namespace convodesk::dbtool
