#include "StoredQueryRunner.h"

#include "DataError.h"
#include "Evaluator.h"
#include "JoinPipeline.h"
#include "Parser.h"
#include "QueryEngine.h"
#include "RowOrdering.h"
#include "ValueCompare.h"

namespace convodesk::data::query {
namespace {

using jet4::QueryDef;
using jet4::Value;

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void markAccessWildcards(Expr& node) {
    if (node.kind == Expr::Kind::Like)
        node.accessWildcards = true;
    for (auto& child : node.children)
        markAccessWildcards(*child);
}

void stripQualifiers(Expr& node) {
    if (node.kind == Expr::Kind::Field)
        node.qualifier.clear();
    for (auto& child : node.children)
        stripQualifiers(*child);
}

} // namespace

QString StoredQueryRunner::refusal(const QString& queryName, const QString& construct) {
    return QStringLiteral("The stored query '%1' uses %2, which this program cannot run.")
        .arg(queryName, construct);
}

void StoredQueryRunner::refuse(const QString& construct) const {
    throw DataError(DataError::UnsupportedQuery, refusal(def_.name, construct));
}

StoredQueryRunner::StoredQueryRunner(QueryEngine& engine, const QueryDef& def, int depth)
    : engine_(engine), def_(def), depth_(depth) {
    checkSupported();
    for (const QueryDef::Table& table : def_.tables) {
        Source source;
        source.name = table.name;
        source.alias = table.alias.isEmpty() ? table.name : table.alias;
        source.columns = engine_.describe(table.name, depth_);
        source.offset = static_cast<int>(combinedLayout_.size());
        for (ColumnInfo& column : source.columns) {
            column.table = source.alias;
            combinedLayout_.push_back(column);
        }
        sources_.push_back(std::move(source));
    }
    for (const QueryDef::Join& join : def_.joins) {
        const int left = sourceIndex(join.left);
        const int right = sourceIndex(join.right);
        if (left < 0 || right < 0 || left == right)
            refuse(QStringLiteral("a join between '%1' and '%2'").arg(join.left, join.right));
        if (join.type == QueryDef::JoinType::Left)
            sources_[right].nullable = true;
        else if (join.type == QueryDef::JoinType::Right)
            sources_[left].nullable = true;
    }
    auto addField = [this](const ColumnInfo& column) {
        auto field = std::make_unique<Expr>();
        field->kind = Expr::Kind::Field;
        field->qualifier = column.table;
        field->name = column.name;
        outputs_.push_back({column.name, std::move(field)});
    };
    if (def_.selectFlags & QueryDef::AllFields)
        for (const ColumnInfo& column : combinedLayout_)
            addField(column);
    int unnamed = 1000;
    for (const QueryDef::Column& column : def_.columns) {
        ExprPtr expr = parse(column.expression);
        if (expr->kind == Expr::Kind::AllFields) {
            if (!expr->qualifier.isEmpty() && sourceIndex(expr->qualifier) < 0)
                throw DataError(
                    DataError::NoSuchField,
                    QStringLiteral("No field named '%1.*' in '%2'.").arg(expr->qualifier, def_.name));
            for (const ColumnInfo& c : combinedLayout_)
                if (expr->qualifier.isEmpty() || sameName(c.table, expr->qualifier))
                    addField(c);
            continue;
        }
        QString name = column.alias;
        if (name.isEmpty())
            name = expr->kind == Expr::Kind::Field ? expr->name : QStringLiteral("Expr%1").arg(unnamed++);
        outputs_.push_back({name, std::move(expr)});
    }
}

void StoredQueryRunner::checkSupported() const {
    switch (def_.kind) {
    case QueryDef::Kind::Select:
        break;
    case QueryDef::Kind::MakeTable:
        refuse(QStringLiteral("a make-table action"));
    case QueryDef::Kind::Append:
        refuse(QStringLiteral("an append action"));
    case QueryDef::Kind::Update:
        refuse(QStringLiteral("an update action"));
    case QueryDef::Kind::Delete:
        refuse(QStringLiteral("a delete action"));
    case QueryDef::Kind::Crosstab:
        refuse(QStringLiteral("a crosstab"));
    case QueryDef::Kind::DataDefinition:
        refuse(QStringLiteral("a data-definition statement"));
    case QueryDef::Kind::PassThrough:
        refuse(QStringLiteral("a pass-through statement"));
    case QueryDef::Kind::Union:
        refuse(QStringLiteral("UNION"));
    }
    if (!def_.parameters.empty())
        refuse(QStringLiteral("parameters"));
    if (!def_.groupBy.empty())
        refuse(QStringLiteral("GROUP BY"));
    if (!def_.having.isEmpty())
        refuse(QStringLiteral("HAVING"));
    if (def_.selectFlags & (QueryDef::Top | QueryDef::Percent))
        refuse(QStringLiteral("TOP"));
    if (!def_.sourceDatabase.isEmpty())
        refuse(QStringLiteral("a table in another database"));
    if (def_.tables.empty())
        refuse(QStringLiteral("no table"));
    for (const QueryDef::Table& table : def_.tables)
        if (!table.expression.isEmpty() || table.name.isEmpty())
            refuse(QStringLiteral("a subquery"));
    if ((def_.selectFlags & QueryDef::DistinctRow) && def_.tables.size() > 1)
        refuse(QStringLiteral("DISTINCTROW"));
}

ExprPtr StoredQueryRunner::parse(const QString& text) const {
    try {
        ExprPtr expr = Parser::parseExpression(text);
        markAccessWildcards(*expr);
        return expr;
    } catch (const SyntaxFailure& failure) {
        refuse(failure.construct.isEmpty() ? QStringLiteral("the expression '%1'").arg(text)
                                           : failure.construct);
    }
}

int StoredQueryRunner::sourceIndex(const QString& nameOrAlias) const {
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (sameName(sources_[i].alias, nameOrAlias))
            return static_cast<int>(i);
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (sameName(sources_[i].name, nameOrAlias))
            return static_cast<int>(i);
    return -1;
}

int StoredQueryRunner::sourceOfColumn(int combinedColumn) const {
    for (int i = static_cast<int>(sources_.size()) - 1; i >= 0; --i)
        if (combinedColumn >= sources_[i].offset)
            return i;
    return 0;
}

bool StoredQueryRunner::referencedSources(const Expr& node, std::vector<int>& sources) const {
    if (node.kind == Expr::Kind::Field) {
        const int column = BoundExpr::resolve(node, combinedLayout_);
        if (column < 0)
            return false;
        const int source = sourceOfColumn(column);
        if (std::find(sources.begin(), sources.end(), source) == sources.end())
            sources.push_back(source);
    }
    for (const auto& child : node.children)
        if (!referencedSources(*child, sources))
            return false;
    return true;
}

void StoredQueryRunner::markColumns(const Expr& node, std::vector<bool>& used) const {
    if (node.kind == Expr::Kind::Field) {
        const int column = BoundExpr::resolve(node, combinedLayout_);
        if (column >= 0)
            used[column] = true;
    }
    for (const auto& child : node.children)
        markColumns(*child, used);
}

std::vector<ColumnInfo> StoredQueryRunner::outputColumns() const {
    std::vector<ColumnInfo> columns;
    for (const Output& output : outputs_)
        columns.push_back({def_.name, output.name});
    return columns;
}

ExprPtr StoredQueryRunner::substituteOutputs(const Expr& node) const {
    if (node.kind == Expr::Kind::Field && (node.qualifier.isEmpty() || sameName(node.qualifier, def_.name))) {
        for (const Output& output : outputs_)
            if (sameName(output.name, node.name))
                return output.expression->clone();
        throw DataError(DataError::NoSuchField,
                        QStringLiteral("No field named '%1' in '%2'.").arg(node.describe(), def_.name));
    }
    ExprPtr copy = node.clone();
    copy->children.clear();
    for (const auto& child : node.children)
        copy->children.push_back(substituteOutputs(*child));
    return copy;
}

JoinStep StoredQueryRunner::planStep(const std::vector<const QueryDef::Join*>& group,
                                     std::vector<bool>& joined) const {
    const QueryDef::Join& join = *group.front();
    const int left = sourceIndex(join.left);
    const int right = sourceIndex(join.right);
    JoinStep step;
    step.added = joined[left] ? right : left;
    const int preserved = join.type == QueryDef::JoinType::Left    ? left
                          : join.type == QueryDef::JoinType::Right ? right
                                                                   : -1;
    step.keepOld = preserved >= 0 && preserved != step.added;
    step.keepNew = preserved == step.added;

    // Access keeps one row per condition when two tables are joined on several fields.
    std::vector<ExprPtr> conditions;
    std::vector<const Expr*> parts;
    for (const QueryDef::Join* member : group) {
        conditions.push_back(parse(member->on));
        collectConjuncts(conditions.back().get(), parts);
    }
    for (const Expr* part : parts) {
        if (part->kind != Expr::Kind::Compare || part->op != Expr::Op::Equal ||
            part->children[0]->kind != Expr::Kind::Field || part->children[1]->kind != Expr::Kind::Field)
            refuse(QStringLiteral("a join on something other than equal fields"));
        int a = BoundExpr::resolve(*part->children[0], combinedLayout_);
        int b = BoundExpr::resolve(*part->children[1], combinedLayout_);
        if (a < 0 || b < 0)
            throw DataError(DataError::NoSuchField,
                            QStringLiteral("No field named '%1' in '%2'.")
                                .arg((a < 0 ? part->children[0] : part->children[1])->describe(), def_.name));
        if (sourceOfColumn(a) == step.added)
            std::swap(a, b);
        if (sourceOfColumn(b) != step.added || !joined[sourceOfColumn(a)])
            refuse(QStringLiteral("a join condition between tables not joined in this order"));
        step.oldColumns.push_back(a);
        step.newColumns.push_back(b - sources_[step.added].offset);
    }
    joined[step.added] = true;
    return step;
}

std::vector<JoinStep> StoredQueryRunner::planJoins() const {
    std::vector<bool> joined(sources_.size(), false);
    joined[0] = true;
    std::vector<const QueryDef::Join*> pending;
    for (const QueryDef::Join& join : def_.joins)
        pending.push_back(&join);
    std::vector<JoinStep> steps;
    while (!pending.empty()) {
        auto next = std::find_if(pending.begin(), pending.end(), [&](const QueryDef::Join* join) {
            return joined[sourceIndex(join->left)] != joined[sourceIndex(join->right)];
        });
        if (next == pending.end())
            refuse(QStringLiteral("a join this program cannot order"));
        const QueryDef::Join* first = *next;
        const int a = sourceIndex(first->left);
        const int b = sourceIndex(first->right);
        std::vector<const QueryDef::Join*> group;
        for (auto it = pending.begin(); it != pending.end();) {
            const int l = sourceIndex((*it)->left);
            const int r = sourceIndex((*it)->right);
            if ((l == a && r == b) || (l == b && r == a)) {
                group.push_back(*it);
                it = pending.erase(it);
            } else {
                ++it;
            }
        }
        steps.push_back(planStep(group, joined));
    }
    if (std::find(joined.begin(), joined.end(), false) != joined.end())
        refuse(QStringLiteral("tables without a join between them"));
    return steps;
}

RowSet StoredQueryRunner::run(const Expr* outputFilter) {
    std::vector<ExprPtr> owned;
    if (!def_.where.isEmpty())
        owned.push_back(parse(def_.where));
    if (outputFilter)
        owned.push_back(substituteOutputs(*outputFilter));
    std::vector<const Expr*> conditions, residual;
    for (const ExprPtr& condition : owned)
        collectConjuncts(condition.get(), conditions);
    for (const Expr* condition : conditions) {
        std::vector<int> used;
        if (referencedSources(*condition, used) && used.size() == 1 && !sources_[used[0]].nullable)
            sources_[used[0]].pushed.push_back(condition);
        else
            residual.push_back(condition);
    }

    // Only the columns the outputs, joins, remaining conditions and order read are decoded.
    std::vector<bool> used(combinedLayout_.size(), false);
    for (const Output& output : outputs_)
        markColumns(*output.expression, used);
    for (const Expr* condition : residual)
        markColumns(*condition, used);
    for (const QueryDef::Join& join : def_.joins)
        markColumns(*parse(join.on), used);
    for (const QueryDef::Order& order : def_.orderBy) {
        const ExprPtr expr = parse(order.expression);
        std::vector<int> sources;
        markColumns(referencedSources(*expr, sources) ? *expr : *substituteOutputs(*expr), used);
    }
    const std::vector<JoinStep> steps = planJoins();

    // The first source is read forward; the others are held in memory to be probed by hash.
    std::vector<RowSet> scanned(sources_.size());
    std::unique_ptr<RowSource> first;
    std::vector<int> offsets;
    for (std::size_t s = 0; s < sources_.size(); ++s) {
        const Source& source = sources_[s];
        offsets.push_back(source.offset);
        ExprPtr filter = joinConjuncts(source.pushed);
        if (filter)
            stripQualifiers(*filter);
        if (s == 0) {
            first = engine_.open(source.name, filter.get(), depth_);
            continue;
        }
        const std::vector<bool> needed(used.begin() + source.offset,
                                       used.begin() + source.offset +
                                           static_cast<long>(source.columns.size()));
        scanned[s] = engine_.scan(source.name, filter.get(), depth_, &needed);
    }
    std::unique_ptr<BoundExpr> condition;
    if (!residual.empty())
        condition = std::make_unique<BoundExpr>(*joinConjuncts(residual), combinedLayout_, def_.name);
    JoinPipeline pipeline(offsets, static_cast<int>(combinedLayout_.size()), steps, scanned, condition.get(),
                          used);
    std::vector<std::vector<Value>> combined = pipeline.run(*first);

    std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>> keys;
    for (const QueryDef::Order& order : def_.orderBy) {
        ExprPtr expr = parse(order.expression);
        std::vector<int> used;
        if (!referencedSources(*expr, used))
            expr = substituteOutputs(*expr);
        keys.emplace_back(std::make_unique<BoundExpr>(*expr, combinedLayout_, def_.name), order.descending);
    }
    sortRows(combined, keys);

    std::vector<std::unique_ptr<BoundExpr>> projections;
    for (const Output& output : outputs_)
        projections.push_back(std::make_unique<BoundExpr>(*output.expression, combinedLayout_, def_.name));
    RowSet result;
    result.columns = outputColumns();
    result.rows.reserve(combined.size());
    for (const auto& row : combined) {
        VectorRow values(row);
        std::vector<Value> out;
        out.reserve(projections.size());
        for (const auto& projection : projections)
            out.push_back(projection->evaluate(values));
        result.rows.push_back(std::move(out));
    }
    if (def_.selectFlags & QueryDef::Distinct)
        removeDuplicateRows(result.rows);
    return result;
}

} // namespace convodesk::data::query
