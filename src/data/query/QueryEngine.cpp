#include "QueryEngine.h"

#include "DataError.h"
#include "Evaluator.h"
#include "FilteredRowSource.h"
#include "RepeatedTextSharer.h"
#include "RowOrdering.h"
#include "StoredQueryRunner.h"

namespace convodesk::data::query {
namespace {

constexpr int maximumNesting = 32;

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

RowSet QueryEngine::runText(const QString& queryText) {
    SelectStatement statement;
    try {
        statement = Parser::parseSelect(queryText);
    } catch (const SyntaxFailure& failure) {
        throw syntaxError(queryText, failure);
    }
    return select(statement);
}

RowSet QueryEngine::runSource(const QString& source) {
    return scan(source, nullptr, 0);
}

std::vector<ColumnInfo> QueryEngine::describe(const QString& source, int depth) {
    if (auto table = catalog_.openTable(source))
        return table->columns();
    if (auto def = catalog_.findQuery(source)) {
        if (depth > maximumNesting)
            throw DataError(
                DataError::UnsupportedQuery,
                StoredQueryRunner::refusal(def->name, QStringLiteral("queries nested too deeply")));
        return StoredQueryRunner(*this, *def, depth + 1).outputColumns();
    }
    throw DataError(DataError::NoSuchSource,
                    QStringLiteral("No table or query named '%1' in '%2'.").arg(source, catalog_.fileName()));
}

RowSet QueryEngine::scan(const QString& source, const Expr* filter, int depth,
                         const std::vector<bool>* needed) {
    const std::unique_ptr<RowSource> rows = open(source, filter, depth);
    RowSet result;
    result.columns = rows->columns();
    const int width = static_cast<int>(result.columns.size());
    RepeatedTextSharer sharer(width);
    while (rows->next()) {
        std::vector<jet4::Value> row;
        row.reserve(width);
        for (int c = 0; c < width; ++c)
            row.push_back(!needed || (*needed)[c] ? sharer.read(*rows, c) : jet4::Value());
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::unique_ptr<RowSource> QueryEngine::open(const QString& source, const Expr* filter, int depth) {
    if (auto table = catalog_.openTable(source)) {
        if (!filter)
            return table;
        return std::make_unique<FilteredRowSource>(std::move(table), *filter, source);
    }
    if (auto def = catalog_.findQuery(source)) {
        if (depth > maximumNesting)
            throw DataError(
                DataError::UnsupportedQuery,
                StoredQueryRunner::refusal(def->name, QStringLiteral("queries nested too deeply")));
        return std::make_unique<RowSetSource>(StoredQueryRunner(*this, *def, depth + 1).run(filter));
    }
    throw DataError(DataError::NoSuchSource,
                    QStringLiteral("No table or query named '%1' in '%2'.").arg(source, catalog_.fileName()));
}

RowSet QueryEngine::select(const SelectStatement& statement) {
    // Check the field names against the layout before reading any row.
    const std::vector<ColumnInfo> layout = describe(statement.source, 0);
    if (statement.where)
        BoundExpr(*statement.where, layout, statement.source);
    RowSet scanned = scan(statement.source, statement.where.get(), 0);

    std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>> keys;
    for (const OrderItem& item : statement.orderBy)
        keys.emplace_back(std::make_unique<BoundExpr>(*item.expression, scanned.columns, statement.source),
                          item.descending);
    sortRows(scanned.rows, keys);

    const bool everything =
        statement.columns.size() == 1 && statement.columns[0]->kind == Expr::Kind::AllFields;
    if (everything && !statement.distinct)
        return scanned;
    RowSet result;
    std::vector<int> picked;
    for (const ExprPtr& column : statement.columns) {
        if (column->kind == Expr::Kind::AllFields) {
            for (std::size_t i = 0; i < scanned.columns.size(); ++i)
                picked.push_back(static_cast<int>(i));
            continue;
        }
        const int index = BoundExpr::resolve(*column, scanned.columns);
        if (index < 0)
            throw DataError(
                DataError::NoSuchField,
                QStringLiteral("No field named '%1' in '%2'.").arg(column->describe(), statement.source));
        picked.push_back(index);
    }
    for (int index : picked)
        result.columns.push_back(scanned.columns[index]);
    for (auto& row : scanned.rows) {
        std::vector<jet4::Value> out;
        out.reserve(picked.size());
        for (int index : picked)
            out.push_back(row[index]);
        result.rows.push_back(std::move(out));
    }
    if (statement.distinct)
        removeDuplicateRows(result.rows);
    return result;
}

} // namespace convodesk::data::query
