#include "DatabaseImage.h"

#include "DataPageWriter.h"
#include "IndexPageWriter.h"
#include "LongValueWriter.h"
#include "PageStore.h"
#include "PrimaryKeyEntries.h"
#include "QueryRowsEncoder.h"
#include "RowEncoder.h"
#include "SystemTables.h"
#include "TableLayout.h"
#include "TdefBuilder.h"
#include "UsageMapBuilder.h"
#include "data/jet4/HeaderPage.h"
#include "data/jet4/Jet4Format.h"

#include <memory>

namespace convodesk::jet4 {

using namespace format;

namespace {
struct PlannedTable {
    QString name;
    TableLayout layout;
    const std::vector<std::vector<Value>>* rows = nullptr;
    bool system = false;
    std::vector<std::uint32_t> tdefPages;
    const WriterTable* source = nullptr; // user tables
    std::vector<int> keyColumns;         // the primary key's columns, if any
};

std::vector<int> keyColumnsOf(const WriterTable& table) {
    std::vector<int> columns;
    for (const QString& name : table.primaryKey)
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            if (table.columns[c].name.compare(name, Qt::CaseInsensitive) == 0)
                columns.push_back(static_cast<int>(c));
    return columns;
}

// Writes the primary key's pages; returns its root page and lists the pages in `pages`.
std::uint32_t writePrimaryKey(const PlannedTable& t, const std::vector<std::uint32_t>& rowPointers,
                              PageStore& store, std::vector<std::uint32_t>& pages) {
    IndexPageWriter writer(store, t.tdefPages.front());
    const std::uint32_t root = writer.write(PrimaryKeyEntries::build(*t.source, t.keyColumns, rowPointers));
    pages = writer.pages();
    return root;
}

Value asLong(std::uint32_t v) {
    return Value::integer(static_cast<std::int32_t>(v));
}

std::vector<Value> catalogRow(std::uint32_t id, std::uint32_t parent, const QString& name, int type,
                              std::uint32_t flags, double now) {
    std::vector<Value> row(17);
    row[0] = asLong(id);
    row[1] = asLong(parent);
    row[2] = Value::text(name);
    row[3] = Value::integer(type);
    row[4] = Value::dateTime(now);
    row[5] = Value::dateTime(now);
    row[7] = asLong(flags);
    return row;
}

void reserveTdefPages(PlannedTable& t, PageStore& store) {
    const int count = TdefBuilder(t.layout, t.system, t.keyColumns).pageCount();
    while (static_cast<int>(t.tdefPages.size()) < count)
        t.tdefPages.push_back(store.allocate());
}
} // namespace

PageStore DatabaseImage::build(const std::vector<WriterTable>& tables, const std::vector<QueryDef>& queries,
                               double now) {
    PageStore store;
    store.allocate();                               // 0: header
    const std::uint32_t mapPage = store.allocate(); // 1: usage-map rows
    store.allocate();                               // 2: the catalog's definition

    std::vector<std::vector<Value>> catalogRows;
    std::vector<std::vector<Value>> queryRows;
    std::vector<PlannedTable> planned;
    planned.push_back({QStringLiteral("MSysObjects"),
                       TableLayout::fromColumns(SystemTables::catalogColumns()),
                       &catalogRows,
                       true,
                       {kCatalogTdefPage},
                       nullptr,
                       {}});
    planned.push_back({QStringLiteral("MSysQueries"),
                       TableLayout::fromColumns(SystemTables::queryColumns()),
                       &queryRows,
                       true,
                       {},
                       nullptr,
                       {}});
    for (const WriterTable& t : tables)
        planned.push_back(
            {t.name, TableLayout::fromColumns(t.columns), &t.rows, false, {}, &t, keyColumnsOf(t)});
    for (PlannedTable& t : planned)
        reserveTdefPages(t, store);

    catalogRows.push_back(catalogRow(kTablesContainerId, kContainersParentId, QStringLiteral("Tables"),
                                     kObjectTypeContainer, kObjectFlagSystem, now));
    for (const PlannedTable& t : planned)
        catalogRows.push_back(catalogRow(t.tdefPages.front(), kTablesContainerId, t.name, kObjectTypeTable,
                                         t.system ? kObjectFlagSystem : 0, now));
    for (std::size_t i = 0; i < queries.size(); ++i) {
        const std::uint32_t id = kQueryIdBase | static_cast<std::uint32_t>(i + 1);
        catalogRows.push_back(
            catalogRow(id, kTablesContainerId, queries[i].name, kObjectTypeQuery,
                       static_cast<std::uint32_t>(QueryRowsEncoder::catalogFlags(queries[i].kind)), now));
        for (auto& row : QueryRowsEncoder::encode(queries[i], static_cast<std::int32_t>(id)))
            queryRows.push_back(std::move(row));
    }

    LongValueWriter longValues(store);
    std::vector<std::vector<std::uint32_t>> dataPages;
    std::vector<std::vector<std::uint32_t>> keyPages(planned.size());
    std::vector<std::uint32_t> keyRoots(planned.size());
    for (std::size_t i = 0; i < planned.size(); ++i) {
        const PlannedTable& t = planned[i];
        DataPageWriter data(store, t.tdefPages.front());
        RowEncoder encoder(t.layout, t.name, longValues);
        long long number = 0;
        std::vector<std::uint32_t> rowPointers;
        rowPointers.reserve(t.keyColumns.empty() ? 0 : t.rows->size());
        for (const std::vector<Value>& row : *t.rows) {
            const std::uint32_t pointer = data.append(encoder.encode(row, ++number));
            if (!t.keyColumns.empty())
                rowPointers.push_back(pointer);
        }
        dataPages.push_back(data.pages());
        if (!t.keyColumns.empty())
            keyRoots[i] = writePrimaryKey(t, rowPointers, store, keyPages[i]);
    }

    DataPageWriter maps(store, 0, mapPage);
    for (std::size_t i = 0; i < planned.size(); ++i) {
        TdefBuilder::Maps m;
        m.usedPages = maps.append(UsageMapBuilder::build(dataPages[i], store));
        m.freePages = maps.append(UsageMapBuilder::empty());
        if (!planned[i].keyColumns.empty()) {
            m.keyPages = maps.append(UsageMapBuilder::build(keyPages[i], store));
            m.keyRoot = keyRoots[i];
        }
        TdefBuilder(planned[i].layout, planned[i].system, planned[i].keyColumns)
            .write(store, planned[i].tdefPages, static_cast<std::uint32_t>(planned[i].rows->size()), m);
    }
    store.page(0) = HeaderPage::build(now);
    return store;
}

} // namespace convodesk::jet4
