#include "QueryEngine.h"

#include "FilteredRowSource.h"
#include "IndexSeek.h"
#include "RepeatedTextSharer.h"
#include "RowOrdering.h"
#include "SelectRunner.h"
#include "StoredStatement.h"
#include "data/DataError.h"
#include "data/query/eval/QueryGovernor.h"
#include "data/query/eval/TextOrderScope.h"
#include "data/query/eval/ValueCompare.h"

#include <QSet>

namespace convodesk::data::query {
namespace {

DataError syntaxError(const QString& text, const SyntaxFailure& failure) {
    if (!failure.construct.isEmpty())
        return DataError(DataError::SyntaxError,
                         QStringLiteral("Syntax error in the query at character %1: %2 is not "
                                        "supported.\n%3")
                             .arg(failure.position + 1)
                             .arg(failure.construct, text));
    return DataError(DataError::SyntaxError,
                     QStringLiteral("Syntax error in the query at character %1: %2.\n%3\n%4^")
                         .arg(failure.position + 1)
                         .arg(failure.message, text, QString(failure.position, QLatin1Char(' '))));
}

} // namespace

// Marks a stored query as being opened or run while it is; meeting it again inside itself is
// a query that uses itself.
class QueryEngine::ActiveQuery {
public:
    ActiveQuery(QueryEngine& engine, const QString& name) : engine_(engine) {
        for (const QString& active : engine_.active_)
            if (active.compare(name, Qt::CaseInsensitive) == 0) {
                QStringList chain = engine_.active_.mid(engine_.active_.indexOf(active));
                chain << name;
                throw DataError(DataError::UsesItself,
                                QStringLiteral("The stored query '%1' uses itself (%2).")
                                    .arg(name, chain.join(QStringLiteral(" -> "))));
            }
        if (engine_.active_.size() >= kMaximumQueryNesting)
            throw DataError(
                DataError::TooComplex,
                QStringLiteral("Query is too complex: stored queries use one another more than %1 "
                               "levels deep ('%2').")
                    .arg(kMaximumQueryNesting)
                    .arg(name));
        engine_.active_.push_back(name);
    }
    ~ActiveQuery() { engine_.active_.removeLast(); }
    ActiveQuery(const ActiveQuery&) = delete;
    ActiveQuery& operator=(const ActiveQuery&) = delete;

private:
    QueryEngine& engine_;
};

std::shared_ptr<const SelectStatement> QueryEngine::parseText(const QString& queryText) {
    try {
        return std::make_shared<SelectStatement>(Parser::parseSelect(queryText));
    } catch (const SyntaxFailure& failure) {
        throw syntaxError(queryText, failure);
    }
}

RowSet QueryEngine::runText(const QString& queryText) {
    return runStatement(parseText(queryText), nullptr);
}

std::unique_ptr<RowSource> QueryEngine::openText(const QString& queryText) {
    const std::shared_ptr<const SelectStatement> statement = parseText(queryText);
    // Only a read in an ORDER BY is kept as row positions; anything else (a lookup by ID, say)
    // goes straight to the run, without setting up a runner twice.
    if (statement->unionParts.empty() && !statement->orderBy.empty()) {
        const TextOrderScope order(catalog_.textSortOrder(), catalog_.fileName());
        const QueryGovernor::Scope governed(limits_);
        if (std::unique_ptr<RowSource> rows = SelectRunner(*this, statement).openOrdered())
            return rows;
    }
    return std::make_unique<RowSetSource>(runStatement(statement, nullptr));
}

RowSet QueryEngine::runSource(const QString& source) {
    return scan(source, nullptr);
}

RowSet QueryEngine::runSubquery(const SelectStatement& statement) {
    // The statement lives in the expression that holds it; the runner only borrows it.
    return runStatement(std::shared_ptr<const SelectStatement>(&statement, [](const SelectStatement*) {}),
                        nullptr);
}

std::vector<OuterField> QueryEngine::outerFields(const SelectStatement& statement,
                                                 const std::vector<ColumnInfo>& outerLayout) {
    return findOuterFields(statement, outerLayout,
                           [this](const SelectStatement::Table& source) { return describe(source); });
}

std::shared_ptr<const SelectStatement> QueryEngine::storedQuery(const jet4::QueryDef& def) {
    const QString key = def.name.toCaseFolded();
    if (const auto found = statements_.constFind(key); found != statements_.constEnd())
        return *found;
    auto statement = storedStatement(def);
    statements_.insert(key, statement);
    return statement;
}

std::shared_ptr<const SelectStatement> QueryEngine::storedSelect(const QString& name) {
    if (catalog_.openTable(name))
        return nullptr;
    const std::optional<jet4::QueryDef> def = catalog_.findQuery(name);
    if (!def)
        return nullptr;
    std::shared_ptr<const SelectStatement> statement = storedQuery(*def);
    return statement->unionParts.empty() ? statement : nullptr;
}

bool QueryEngine::answersBySeek(const QString& table, const Expr& filter) {
    return openBySeek(catalog_, table, filter) != nullptr;
}

std::vector<ColumnInfo> QueryEngine::describe(const QString& source) {
    if (auto table = catalog_.openTable(source))
        return table->columns();
    if (auto def = catalog_.findQuery(source)) {
        const QString key = def->name.toCaseFolded();
        if (const auto found = described_.constFind(key); found != described_.constEnd())
            return *found;
        const QueryGovernor::Scope governed(limits_);
        ActiveQuery active(*this, def->name);
        std::vector<ColumnInfo> columns = describeStatement(storedQuery(*def));
        described_.insert(key, columns);
        return columns;
    }
    throw DataError(DataError::NoSuchSource,
                    QStringLiteral("No table or query named '%1' in '%2'.").arg(source, catalog_.fileName()));
}

std::vector<ColumnInfo>
QueryEngine::describeStatement(const std::shared_ptr<const SelectStatement>& statement) {
    if (statement->unionParts.empty())
        return SelectRunner(*this, statement).outputColumns();
    std::vector<ColumnInfo> columns;
    for (const auto& part : statement->unionParts) {
        std::vector<ColumnInfo> partColumns = describeStatement(part);
        if (columns.empty())
            columns = std::move(partColumns);
        else if (partColumns.size() != columns.size())
            throw DataError(DataError::UnsupportedQuery,
                            QStringLiteral("The number of columns in the two selected tables or queries of a "
                                           "union query do not match."));
    }
    return columns;
}

RowSet QueryEngine::runStatement(const std::shared_ptr<const SelectStatement>& statement,
                                 const Expr* outputFilter) {
    // Every way in (texts, stored queries read lazily, subqueries) orders texts by the file's order
    // and keeps to the limits.
    const TextOrderScope order(catalog_.textSortOrder(), catalog_.fileName());
    const QueryGovernor::Scope governed(limits_);
    if (!statement->unionParts.empty())
        return runUnion(*statement, outputFilter);
    return SelectRunner(*this, statement).run(outputFilter);
}

// UNION: the parts' rows one after the other under the first part's column names, each row
// once unless every part is joined with UNION ALL; then the union's ORDER BY.
RowSet QueryEngine::runUnion(const SelectStatement& statement, const Expr* outputFilter) {
    RowSet result;
    for (std::size_t i = 0; i < statement.unionParts.size(); ++i) {
        RowSet part = runStatement(statement.unionParts[i], nullptr);
        if (i == 0) {
            result.columns = part.columns;
        } else if (part.columns.size() != result.columns.size()) {
            throw DataError(DataError::UnsupportedQuery,
                            QStringLiteral("The number of columns in the two selected tables or queries of a "
                                           "union query do not match."));
        }
        for (auto& row : part.rows) {
            QueryGovernor::tick();
            result.rows.push_back(std::move(row));
        }
    }
    const QString name = statement.name.isEmpty() ? QStringLiteral("the query") : statement.name;
    for (ColumnInfo& column : result.columns)
        column.table = name;
    const bool all =
        std::all_of(statement.unionAll.begin(), statement.unionAll.end(), [](bool b) { return b; });
    if (!all)
        removeDuplicateRows(result.rows);
    BindContext context{!statement.name.isEmpty(), this};
    std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>> keys;
    for (const OrderItem& order : statement.orderBy)
        keys.emplace_back(std::make_unique<BoundExpr>(*order.expression, result.columns, name, context),
                          order.descending);
    sortRows(result.rows, keys);
    if (outputFilter) {
        const BoundExpr filter(*outputFilter, result.columns, name, context);
        std::vector<std::vector<jet4::Value>> kept;
        for (auto& row : result.rows) {
            VectorRow values(row);
            if (filter.passes(values))
                kept.push_back(std::move(row));
        }
        result.rows.swap(kept);
    }
    return result;
}

std::vector<ColumnInfo> QueryEngine::describe(const SelectStatement::Table& source) {
    return source.derived ? describeStatement(source.derived) : describe(source.name);
}

RowSet QueryEngine::scan(const SelectStatement::Table& source, const Expr* filter,
                         const std::vector<bool>* needed) {
    return source.derived ? runStatement(source.derived, filter) : scan(source.name, filter, needed);
}

std::unique_ptr<RowSource> QueryEngine::open(const SelectStatement::Table& source, const Expr* filter) {
    if (source.derived)
        return std::make_unique<RowSetSource>(runStatement(source.derived, filter));
    return open(source.name, filter);
}

RowSet QueryEngine::scan(const QString& source, const Expr* filter, const std::vector<bool>* needed) {
    const TextOrderScope order(catalog_.textSortOrder(), catalog_.fileName());
    const QueryGovernor::Scope governed(limits_);
    const std::unique_ptr<RowSource> rows = open(source, filter);
    return readRows(*rows, needed);
}

RowSet QueryEngine::readRows(RowSource& rows, const std::vector<bool>* needed) {
    RowSet result;
    result.columns = rows.columns();
    const int width = static_cast<int>(result.columns.size());
    RepeatedTextSharer sharer(width);
    while (rows.next()) {
        QueryGovernor::tick();
        std::vector<jet4::Value> row;
        row.reserve(width);
        for (int c = 0; c < width; ++c)
            row.push_back(!needed || (*needed)[c] ? sharer.read(rows, c) : jet4::Value());
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::unique_ptr<RowSource> QueryEngine::filtered(std::unique_ptr<RowSource> rows, const Expr* filter,
                                                 const QString& source) {
    if (!filter)
        return rows;
    return std::make_unique<FilteredRowSource>(std::move(rows), *filter, source, BindContext{false, this});
}

std::optional<RowSet> QueryEngine::scanBySeek(const SelectStatement::Table& source, const Expr* filter,
                                              const std::vector<bool>* needed) {
    if (source.derived || !filter)
        return std::nullopt;
    const TextOrderScope order(catalog_.textSortOrder(), catalog_.fileName());
    const QueryGovernor::Scope governed(limits_);
    std::unique_ptr<RowSource> sought = openBySeek(catalog_, source.name, *filter);
    if (!sought)
        return std::nullopt;
    return readRows(*filtered(std::move(sought), filter, source.name), needed);
}

std::optional<RowSet> QueryEngine::scanJoinMatches(const SelectStatement::Table& source,
                                                   const QString& column, const jet4::Value& value,
                                                   const Expr* filter, const std::vector<bool>* needed) {
    if (source.derived)
        return std::nullopt;
    const TextOrderScope order(catalog_.textSortOrder(), catalog_.fileName());
    const QueryGovernor::Scope governed(limits_);
    std::unique_ptr<RowSource> sought = openEqualBySeek(catalog_, source.name, column, value);
    if (!sought)
        return std::nullopt;
    return readRows(*filtered(std::move(sought), filter, source.name), needed);
}

std::unique_ptr<RowSource> QueryEngine::open(const QString& source, const Expr* filter) {
    // A part "column = constant" an index answers: only the rows it names are read.
    if (filter)
        if (std::unique_ptr<RowSource> sought = openBySeek(catalog_, source, *filter))
            return filtered(std::move(sought), filter, source);
    if (auto table = catalog_.openTable(source))
        return filtered(std::move(table), filter, source);
    if (auto def = catalog_.findQuery(source)) {
        ActiveQuery active(*this, def->name);
        return std::make_unique<RowSetSource>(runStatement(storedQuery(*def), filter));
    }
    throw DataError(DataError::NoSuchSource,
                    QStringLiteral("No table or query named '%1' in '%2'.").arg(source, catalog_.fileName()));
}

} // namespace convodesk::data::query
