#pragma once

#include "Catalog.h"
#include "RowSource.h"
#include "data/query/eval/Evaluator.h"
#include "data/query/eval/QueryGovernor.h"
#include "data/query/parse/Expr.h"
#include "data/query/parse/Parser.h"

#include <QHash>
#include <QStringList>
#include <optional>

namespace convodesk::data::query {

// Runs query texts and whole sources against a catalog. Conditions on a stored table are
// tested while it is scanned; a condition on a stored query's output is handed down into it.
// Stored queries may use one another up to kMaximumQueryNesting deep; one that uses itself,
// directly or through others, is an error.
class QueryEngine : public SubqueryRunner {
public:
    static constexpr int kMaximumQueryNesting = 32;

    explicit QueryEngine(Catalog& catalog) : catalog_(catalog) {}

    // Throws DataError (syntax, unknown source or field, a stored query we cannot run).
    RowSet runText(const QString& queryText);
    // The rows runText gives, read forward. A query listing one stored table's columns in an
    // ORDER BY keeps only where each row is and its sort values until the row is read.
    std::unique_ptr<RowSource> openText(const QString& queryText);
    RowSet runSource(const QString& source);
    RowSet runSubquery(const SelectStatement& statement) override;
    std::vector<OuterField> outerFields(const SelectStatement& statement,
                                        const std::vector<ColumnInfo>& outerLayout) override;

    // Rows of `source` passing `filter` (an expression over the source's own columns). With
    // `needed`, a stored table's columns not marked there are left Null instead of decoded.
    RowSet scan(const QString& source, const Expr* filter, const std::vector<bool>* needed = nullptr);
    // The same rows read forward; a stored table's values are decoded only when read.
    std::unique_ptr<RowSource> open(const QString& source, const Expr* filter);
    // The stored table's rows kept at `rows`, in that order (Catalog::openTableRows).
    std::unique_ptr<RowSource> openRows(const QString& table, std::vector<std::uint32_t> rows) {
        return catalog_.openTableRows(table, std::move(rows));
    }
    // The parsed statement of stored query `name` when it is a SELECT (not a UNION) and no
    // table has that name; nullptr otherwise.
    std::shared_ptr<const SelectStatement> storedSelect(const QString& name);
    // Whether an index answers a part "column = constant" of `filter` on stored table `table`.
    bool answersBySeek(const QString& table, const Expr& filter);
    // The column layout of a source without reading its rows; for a stored query, after the
    // checks opening it makes (its sources found, its expressions bound, nothing refused).
    std::vector<ColumnInfo> describe(const QString& source);
    // The same for a source of a SELECT: a stored table or query, or a derived table.
    std::vector<ColumnInfo> describe(const SelectStatement::Table& source);
    RowSet scan(const SelectStatement::Table& source, const Expr* filter, const std::vector<bool>* needed);
    std::unique_ptr<RowSource> open(const SelectStatement::Table& source, const Expr* filter);
    // The rows scan() gives when `filter` has a part "column = constant" an index of the stored
    // table answers; nullopt (nothing read) when none does.
    std::optional<RowSet> scanBySeek(const SelectStatement::Table& source, const Expr* filter,
                                     const std::vector<bool>* needed);
    // The stored table's rows passing `filter` whose `column` a join would match with `value`,
    // found through an index; nullopt when no index can tell.
    std::optional<RowSet> scanJoinMatches(const SelectStatement::Table& source, const QString& column,
                                          const jet4::Value& value, const Expr* filter,
                                          const std::vector<bool>* needed);

    // Whether a SELECT over one source reads it straight into its rows, with no join step, and
    // hands them on unchanged when its outputs are the source's columns (the screens' queries).
    // Off, the same query runs the general way; the tests compare the two.
    bool directScans() const { return directScans_; }
    void setDirectScans(bool on) { directScans_ = on; }

    // The deadline and memory budget of each run (a query text, a source, a stored query read
    // by a screen); runs nested in one share its limits.
    const QueryLimits& limits() const { return limits_; }
    void setLimits(const QueryLimits& limits) { limits_ = limits; }

private:
    class ActiveQuery;
    static std::shared_ptr<const SelectStatement> parseText(const QString& queryText);
    RowSet runStatement(const std::shared_ptr<const SelectStatement>& statement, const Expr* outputFilter);
    std::vector<ColumnInfo> describeStatement(const std::shared_ptr<const SelectStatement>& statement);
    RowSet runUnion(const SelectStatement& statement, const Expr* outputFilter);
    std::shared_ptr<const SelectStatement> storedQuery(const jet4::QueryDef& def);
    RowSet readRows(RowSource& rows, const std::vector<bool>* needed);
    std::unique_ptr<RowSource> filtered(std::unique_ptr<RowSource> rows, const Expr* filter,
                                        const QString& source);

    Catalog& catalog_;
    bool directScans_ = true;
    QueryLimits limits_ = QueryLimits::standard();
    QStringList active_; // the stored queries being opened or run, outermost first
    QHash<QString, std::shared_ptr<const SelectStatement>> statements_; // parsed stored queries
    // Column layouts of stored queries described once: a query built on another twice over
    // (a union or join of it with itself, many levels deep) is described in steps, not 2^n.
    QHash<QString, std::vector<ColumnInfo>> described_;
};

} // namespace convodesk::data::query
