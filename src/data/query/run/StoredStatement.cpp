#include "StoredStatement.h"

#include "data/DataError.h"
#include "data/query/eval/Evaluator.h"
#include "data/query/parse/Parser.h"

namespace convodesk::data::query {
namespace {

using jet4::QueryDef;

constexpr int kUnionDistinct = 0x02;

[[noreturn]] void refuse(const QueryDef& def, const QString& construct) {
    throw DataError(DataError::UnsupportedQuery, storedQueryRefusal(def.name, construct));
}

ExprPtr parsed(const QueryDef& def, const QString& text) {
    try {
        return Parser::parseExpression(text);
    } catch (const SyntaxFailure& failure) {
        refuse(def, failure.construct.isEmpty() ? QStringLiteral("the expression '%1'").arg(text)
                                                : failure.construct);
    }
}

std::shared_ptr<SelectStatement> parsedSelect(const QueryDef& def, const QString& text) {
    try {
        return std::make_shared<SelectStatement>(Parser::parseSelect(text, def.name));
    } catch (const SyntaxFailure& failure) {
        refuse(def, failure.construct.isEmpty() ? QStringLiteral("the statement '%1'").arg(text)
                                                : failure.construct);
    }
}

// A derived table keeps its SELECT in the table row, bare, in parentheses or as "[...]." .
SelectStatement::Table derivedTable(const QueryDef& def, const QueryDef::Table& table) {
    QString text = table.expression.trimmed();
    if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')))
        text = text.mid(1, text.size() - 2);
    else if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1String("].")))
        text = text.mid(1, text.size() - 3);
    const QString alias = !table.alias.isEmpty() ? table.alias : table.name;
    if (alias.isEmpty())
        refuse(def, QStringLiteral("a derived table without a name"));
    auto derived = parsedSelect(def, text);
    if (derived->needsParameters)
        BoundExpr::missingParameter();
    return {alias, alias, std::move(derived)};
}

void checkKind(const QueryDef& def) {
    switch (def.kind) {
    case QueryDef::Kind::Select:
    case QueryDef::Kind::Union:
        return;
    case QueryDef::Kind::MakeTable:
        refuse(def, QStringLiteral("a make-table action"));
    case QueryDef::Kind::Append:
        refuse(def, QStringLiteral("an append action"));
    case QueryDef::Kind::Update:
        refuse(def, QStringLiteral("an update action"));
    case QueryDef::Kind::Delete:
        refuse(def, QStringLiteral("a delete action"));
    case QueryDef::Kind::Crosstab:
        refuse(def, QStringLiteral("a crosstab"));
    case QueryDef::Kind::DataDefinition:
        refuse(def, QStringLiteral("a data-definition statement"));
    case QueryDef::Kind::PassThrough:
        refuse(def, QStringLiteral("a pass-through statement"));
    }
    refuse(def, QStringLiteral("an unknown kind of query"));
}

// A UNION keeps its two sides as SELECT texts in its table rows; flag 2 is set for a plain
// UNION (each row once), clear for UNION ALL.
std::shared_ptr<const SelectStatement> unionStatement(const QueryDef& def) {
    if (def.tables.size() < 2)
        refuse(def, QStringLiteral("UNION without its parts"));
    auto statement = std::make_shared<SelectStatement>();
    statement->name = def.name;
    for (std::size_t i = 0; i < def.tables.size(); ++i) {
        if (def.tables[i].expression.isEmpty())
            refuse(def, QStringLiteral("UNION without its parts"));
        auto part = parsedSelect(def, def.tables[i].expression);
        if (part->needsParameters)
            BoundExpr::missingParameter();
        if (i > 0)
            statement->unionAll.push_back((def.selectFlags & kUnionDistinct) == 0);
        // Access writes a union's ORDER BY at the end of its last part's text; it sorts the whole
        // union, not that part (unless the part needs it for its own TOP).
        if (i + 1 == def.tables.size() && def.orderBy.empty() && part->top == 0) {
            statement->orderBy = std::move(part->orderBy);
            part->orderBy.clear();
        }
        statement->unionParts.push_back(std::move(part));
    }
    for (const QueryDef::Order& order : def.orderBy)
        statement->orderBy.push_back({parsed(def, order.expression), order.descending});
    return statement;
}

} // namespace

QString storedQueryRefusal(const QString& queryName, const QString& construct) {
    if (queryName.isEmpty())
        return QStringLiteral("The query uses %1, which this program cannot run.").arg(construct);
    return QStringLiteral("The stored query '%1' uses %2, which this program cannot run.")
        .arg(queryName, construct);
}

std::shared_ptr<const SelectStatement> storedStatement(const QueryDef& def) {
    if (!def.fault.isEmpty())
        throw DataError(
            DataError::UnsupportedQuery,
            QStringLiteral("The stored query '%1' is invalid: it has %2.").arg(def.name, def.fault));
    checkKind(def);
    if (!def.parameters.empty())
        BoundExpr::missingParameter();
    if (!def.sourceDatabase.isEmpty())
        refuse(def, QStringLiteral("a table in another database"));
    if (def.kind == QueryDef::Kind::Union)
        return unionStatement(def);

    auto statement = std::make_shared<SelectStatement>();
    statement->name = def.name;
    statement->distinct = (def.selectFlags & QueryDef::Distinct) != 0;
    statement->distinctRow = (def.selectFlags & QueryDef::DistinctRow) != 0;
    if (def.selectFlags & (QueryDef::Top | QueryDef::Percent)) {
        bool ok = false;
        statement->top = def.top.trimmed().toLongLong(&ok);
        if (!ok || statement->top <= 0)
            refuse(def, QStringLiteral("TOP '%1'").arg(def.top));
        statement->topPercent = (def.selectFlags & QueryDef::Percent) != 0;
    }
    if (def.selectFlags & QueryDef::AllFields) {
        SelectStatement::Column all;
        all.expression = std::make_unique<Expr>();
        all.expression->kind = Expr::Kind::AllFields;
        statement->columns.push_back(std::move(all));
    }
    for (const QueryDef::Column& column : def.columns)
        statement->columns.push_back({parsed(def, column.expression), column.alias});
    for (const QueryDef::Table& table : def.tables) {
        if (!table.expression.isEmpty()) {
            statement->tables.push_back(derivedTable(def, table));
            continue;
        }
        if (table.name.isEmpty())
            refuse(def, QStringLiteral("a source without a name"));
        statement->tables.push_back({table.name, table.alias, {}});
    }
    for (const QueryDef::Join& join : def.joins)
        statement->joins.push_back({join.type, join.left, join.right, parsed(def, join.on)});
    if (!def.where.isEmpty())
        statement->where = parsed(def, def.where);
    for (const QString& group : def.groupBy)
        statement->groupBy.push_back(parsed(def, group));
    if (!def.having.isEmpty())
        statement->having = parsed(def, def.having);
    for (const QueryDef::Order& order : def.orderBy)
        statement->orderBy.push_back({parsed(def, order.expression), order.descending});
    return statement;
}

} // namespace convodesk::data::query
