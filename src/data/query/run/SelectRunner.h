#pragma once

#include "JoinPipeline.h"
#include "RowSource.h"
#include "data/query/eval/Evaluator.h"
#include "data/query/parse/SelectStatement.h"

#include <memory>
#include <optional>
#include <vector>

namespace convodesk::data::query {

class QueryEngine;
class Grouping;

// One join planned between two tables (indexes into the FROM list).
struct JoinLink {
    int a = 0;
    int b = 0;
    bool outer = false;
};

// Runs one SELECT (not a UNION): its tables (stored tables or stored queries), joined by hash
// on their equal fields, WHERE conditions tested while each table is scanned where the join
// allows it and the others on each joined row before it is built, GROUP BY and HAVING, ORDER
// BY, DISTINCT / DISTINCTROW, TOP and the output columns.
class SelectRunner {
public:
    // Checks what opening the query checks (every source found, every expression bound,
    // nothing refused) without reading a row. Throws DataError.
    SelectRunner(QueryEngine& engine, std::shared_ptr<const SelectStatement> statement);
    ~SelectRunner();

    const std::vector<ColumnInfo>& outputColumns() const { return outputColumns_; }
    // The query's rows that also pass `outputFilter`, a condition over its output columns.
    RowSet run(const Expr* outputFilter);
    // The rows run(nullptr) gives, read forward, for a query that lists one source's columns as
    // they are in an ORDER BY. A stored table is read once for the rows passing WHERE and their
    // sort values only, and each row is decoded when it is read; so is a stored query whose
    // outputs are columns of a stored table joined to sources small enough to hold (see
    // openJoinedOrdered). nullptr (nothing read, or nothing kept) when the query or the catalog
    // does not allow it.
    std::unique_ptr<RowSource> openOrdered();

private:
    struct Output {
        QString name;
        ExprPtr expression;
    };
    struct Source {
        SelectStatement::Table table;
        QString name;
        QString alias;
        std::vector<ColumnInfo> columns;
        int offset = 0;
        bool nullable = false; // the null side of an outer join
        std::vector<const Expr*> pushed;
    };
    using SortKeys = std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>>;
    // How the sources are read for a set of conditions: the conditions left for the joined row
    // (the others are the sources' `pushed`), the columns read and the joins.
    struct RunPlan {
        std::vector<const Expr*> residual;
        std::vector<bool> used;
        std::vector<JoinStep> steps;
        std::vector<bool> neededBy(const Source& source) const;
    };

    void addOutputs();
    void nameOutputs();
    int sourceIndex(const QString& nameOrAlias) const;
    int sourceOfColumn(int combinedColumn) const;
    bool referencedSources(const Expr& node, std::vector<int>& sources) const;
    ExprPtr substituteOutputs(const Expr& node) const;
    ExprPtr withOutputNames(const Expr& node, int depth = 0) const;
    void resolveAliases();
    void markColumns(const Expr& node, std::vector<bool>& used) const;
    JoinStep planStep(const std::vector<const SelectStatement::Join*>& group, std::vector<bool>& joined,
                      std::vector<const Expr*>& conditions) const;
    void closeRing(const SelectStatement::Join& join, const std::vector<JoinLink>& links,
                   std::vector<const Expr*>& conditions) const;
    // The joins in order, each table joined once; `conditions` gets the parts of inner joins that
    // are no equal fields and the joins that close a ring.
    std::vector<JoinStep> planJoins(std::vector<const Expr*>& conditions) const;
    void prepareGrouping();
    RunPlan planRun(const std::vector<const Expr*>& conditions);
    ExprPtr pushedFilter(std::size_t source) const;
    // The plan's conditions left for the joined row, as one; nullptr when there are none.
    std::unique_ptr<BoundExpr> residualCondition(const RunPlan& plan) const;
    std::vector<int> sourceOffsets() const;
    std::vector<std::vector<jet4::Value>> joinedRows(const std::vector<ExprPtr>& conditions);
    bool outputsAreTheColumns() const;
    // The column of the joined row each output is, when every output is one.
    std::optional<std::vector<int>> outputsAsColumns() const;
    bool readsOneSourceInOrder() const;
    std::unique_ptr<RowSource> openTableOrdered(ExprPtr filter, const SortKeys& keys,
                                                const std::vector<bool>& descending);
    // This query's rows that pass `outputFilter`, in the order of `keys` (over its outputs, as
    // `columns`), for a query whose outputs are columns of its first source, a stored table,
    // joined to the others without keeping their unmatched rows: the others are held, and of
    // each joined row only where the first table's row is, the rows joined to it and the sort
    // values are kept until it is read. nullptr (nothing kept) when the query does not allow it.
    std::unique_ptr<RowSource> openJoinedOrdered(const Expr* outputFilter, const SortKeys& keys,
                                                 const std::vector<bool>& descending,
                                                 std::vector<ColumnInfo> columns);
    std::optional<RowSet> joinMatches(const std::vector<JoinStep>& steps, std::size_t added,
                                      const RowSet& firstRows, const Expr* filter,
                                      const std::vector<bool>& needed);
    void keepDistinctRows(std::vector<std::vector<jet4::Value>>& rows) const;
    std::vector<std::size_t> topRows(const std::vector<std::vector<jet4::Value>>& rows,
                                     const std::vector<std::size_t>& kept, const SortKeys& keys) const;
    [[noreturn]] void refuse(const QString& construct) const;

    QueryEngine& engine_;
    std::shared_ptr<const SelectStatement> statement_;
    QString name_;
    BindContext context_;
    std::vector<Source> sources_;
    std::vector<ColumnInfo> combinedLayout_;
    std::vector<Output> outputs_;  // with the aliases they use resolved
    ExprPtr where_;                // the statement's, with the aliases it uses resolved
    std::vector<ExprPtr> groupBy_; // likewise
    static constexpr long long kMaximumResolvedNodes = 200000;
    mutable long long resolvedNodes_ = 0; // expression nodes built while resolving aliases
    std::vector<ColumnInfo> outputColumns_;
    // Grouped queries: the outputs, HAVING and ORDER BY over the group rows.
    std::unique_ptr<Grouping> grouping_;
    std::vector<ExprPtr> groupedOutputs_;
    ExprPtr groupedHaving_;
    std::vector<ExprPtr> groupedOrder_;
};

} // namespace convodesk::data::query
