#pragma once

#include "RowSource.h"
#include "data/jet4/QueryDef.h"
#include "data/jet4/SortOrder.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace convodesk::data::query {

// The tables and stored queries of one data file, as the query engine sees them.
class Catalog {
public:
    virtual ~Catalog() = default;
    virtual QString fileName() const = 0;
    // The table's rows with its columns labelled by the table's name; nullptr if none.
    virtual std::unique_ptr<RowSource> openTable(const QString& name) = 0;
    virtual std::optional<jet4::QueryDef> findQuery(const QString& name) = 0;
    // A stored table's rows filed in an index of `column` under `value`'s entry, and maybe
    // others (the caller tests them all again): for a text, every text of the same letters,
    // whatever their case, accents and punctuation. nullptr when no index can tell (the caller
    // reads the whole table).
    virtual std::unique_ptr<RowSource> openTableSeek(const QString& table, const QString& column,
                                                     const jet4::Value& value) {
        (void)table;
        (void)column;
        (void)value;
        return nullptr;
    }
    // The rows of stored table `table` kept at `rows` (pointers its cursor gave), in that
    // order, decoded only when read; nullptr when the catalog cannot read rows so (the caller
    // keeps the rows it read instead). An empty `rows` asks only whether it can.
    virtual std::unique_ptr<RowSource> openTableRows(const QString& /*table*/,
                                                     std::vector<std::uint32_t>&& /*rows*/) {
        return nullptr;
    }
    // The order texts are compared in (the file header's).
    virtual jet4::SortOrder textSortOrder() const { return {}; }
};

} // namespace convodesk::data::query
