#pragma once

#include "Catalog.h"
#include "Expr.h"
#include "Parser.h"
#include "RowSource.h"

namespace convodesk::data::query {

// Runs query texts and whole sources against a catalog. Conditions on a stored table are
// tested while it is scanned; a condition on a stored query's output is handed down into it.
class QueryEngine {
public:
    explicit QueryEngine(Catalog& catalog) : catalog_(catalog) {}

    // Throws DataError (syntax, unknown source or field, a stored query we cannot run).
    RowSet runText(const QString& queryText);
    RowSet runSource(const QString& source);

    // Rows of `source` passing `filter` (an expression over the source's own columns). With
    // `needed`, a stored table's columns not marked there are left Null instead of decoded.
    RowSet scan(const QString& source, const Expr* filter, int depth,
                const std::vector<bool>* needed = nullptr);
    // The same rows read forward; a stored table's values are decoded only when read.
    std::unique_ptr<RowSource> open(const QString& source, const Expr* filter, int depth);
    // The column layout of a source without reading its rows.
    std::vector<ColumnInfo> describe(const QString& source, int depth);

private:
    RowSet select(const SelectStatement& statement);

    Catalog& catalog_;
};

} // namespace convodesk::data::query
