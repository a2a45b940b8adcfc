#include "DatabaseImage.h"

#include "DataPageWriter.h"
#include "LongValueWriter.h"
#include "PageStore.h"
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
};

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
    const int count = TdefBuilder(t.layout, t.system).pageCount();
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
                       {kCatalogTdefPage}});
    planned.push_back({QStringLiteral("MSysQueries"),
                       TableLayout::fromColumns(SystemTables::queryColumns()),
                       &queryRows,
                       true,
                       {}});
    for (const WriterTable& t : tables)
        planned.push_back({t.name, TableLayout::fromColumns(t.columns), &t.rows, false, {}});
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
    for (const PlannedTable& t : planned) {
        DataPageWriter data(store, t.tdefPages.front());
        RowEncoder encoder(t.layout, t.name, longValues);
        long long number = 0;
        for (const std::vector<Value>& row : *t.rows)
            data.append(encoder.encode(row, ++number));
        dataPages.push_back(data.pages());
    }

    DataPageWriter maps(store, 0, mapPage);
    for (std::size_t i = 0; i < planned.size(); ++i) {
        TdefBuilder::Maps m;
        m.usedPages = maps.append(UsageMapBuilder::build(dataPages[i], store));
        m.freePages = maps.append(UsageMapBuilder::empty());
        TdefBuilder(planned[i].layout, planned[i].system)
            .write(store, planned[i].tdefPages, static_cast<std::uint32_t>(planned[i].rows->size()), m);
    }
    store.page(0) = HeaderPage::build(now);
    return store;
}

} // namespace convodesk::jet4
