#pragma once

#include "Expr.h"
#include "JoinPipeline.h"
#include "RowSource.h"
#include "jet4/QueryDef.h"

#include <vector>

namespace convodesk::data::query {

class QueryEngine;

// Runs one stored SELECT query: its tables (stored tables or other queries), joined by hash
// on their equal fields, WHERE conditions tested while each table is scanned where the join
// allows it and the others on each joined row before it is built, ORDER BY, DISTINCT and the
// output columns. Anything else is refused.
class StoredQueryRunner {
public:
    // Throws DataError(UnsupportedQuery) for a query this program cannot run.
    StoredQueryRunner(QueryEngine& engine, const jet4::QueryDef& def, int depth);

    std::vector<ColumnInfo> outputColumns() const;
    // The query's rows that also pass `outputFilter`, a condition over its output columns.
    RowSet run(const Expr* outputFilter);

    static QString refusal(const QString& queryName, const QString& construct);

private:
    struct Output {
        QString name;
        ExprPtr expression;
    };
    struct Source {
        QString name;
        QString alias;
        std::vector<ColumnInfo> columns;
        int offset = 0;
        bool nullable = false; // the null side of an outer join
        std::vector<const Expr*> pushed;
    };

    void checkSupported() const;
    ExprPtr parse(const QString& text) const;
    int sourceIndex(const QString& nameOrAlias) const;
    int sourceOfColumn(int combinedColumn) const;
    bool referencedSources(const Expr& node, std::vector<int>& sources) const;
    ExprPtr substituteOutputs(const Expr& node) const;
    void markColumns(const Expr& node, std::vector<bool>& used) const;
    JoinStep planStep(const std::vector<const jet4::QueryDef::Join*>& group, std::vector<bool>& joined) const;
    std::vector<JoinStep> planJoins() const;
    [[noreturn]] void refuse(const QString& construct) const;

    QueryEngine& engine_;
    const jet4::QueryDef& def_;
    int depth_;
    std::vector<Source> sources_;
    std::vector<ColumnInfo> combinedLayout_;
    std::vector<Output> outputs_;
};

} // namespace convodesk::data::query
