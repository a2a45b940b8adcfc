#include "SelectRunner.h"

#include "ColumnSubset.h"
#include "Grouping.h"
#include "LateJoinedRows.h"
#include "QueryEngine.h"
#include "RelabelledRowSource.h"
#include "RowOrdering.h"
#include "StoredStatement.h"
#include "data/DataError.h"
#include "data/query/eval/QueryGovernor.h"
#include "data/query/eval/ValueCompare.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <optional>

namespace convodesk::data::query {
namespace {

using jet4::QueryDef;
using jet4::Value;

// Whether the joins that lead from table `from` to table `to` in a tree of joins hold an outer
// join; nothing when no joins lead there.
std::optional<bool> outerJoinOnPath(const std::vector<JoinLink>& links, int from, int to, int cameFrom = -1) {
    if (from == to)
        return false;
    for (const JoinLink& link : links) {
        const int other = link.a == from ? link.b : link.b == from ? link.a : -1;
        if (other < 0 || other == cameFrom)
            continue;
        if (const std::optional<bool> rest = outerJoinOnPath(links, other, to, from))
            return link.outer || *rest;
    }
    return std::nullopt;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void stripQualifiers(Expr& node) {
    forEachNode(node, [](Expr& n) {
        if (n.kind == Expr::Kind::Field)
            n.qualifier.clear();
    });
}

// Groups of `width` items (a row's) put in `order`.
template <typename T>
std::vector<T> inOrder(std::vector<T> items, const std::vector<std::size_t>& order, std::size_t width) {
    std::vector<T> ordered;
    ordered.reserve(items.size());
    for (std::size_t index : order)
        ordered.insert(ordered.end(), items.begin() + static_cast<long>(index * width),
                       items.begin() + static_cast<long>((index + 1) * width));
    return ordered;
}

QString rowKey(const std::vector<Value>& row) {
    QString key;
    for (const Value& value : row)
        key += matchKey(value) + QChar(0x1F);
    return key;
}

} // namespace

void SelectRunner::refuse(const QString& construct) const {
    throw DataError(DataError::UnsupportedQuery, storedQueryRefusal(statement_->name, construct));
}

SelectRunner::SelectRunner(QueryEngine& engine, std::shared_ptr<const SelectStatement> statement)
    : engine_(engine), statement_(std::move(statement)) {
    const SelectStatement& s = *statement_;
    name_ = !s.name.isEmpty()  ? s.name
            : s.tables.empty() ? QStringLiteral("the query")
                               : s.tables.front().name;
    context_.unknownIsParameter = !s.name.isEmpty();
    context_.subqueries = &engine_;
    if (s.needsParameters)
        BoundExpr::missingParameter();
    for (const SelectStatement::Table& table : s.tables) {
        Source source;
        source.table = table;
        source.name = table.name;
        source.alias = table.alias.isEmpty() ? table.name : table.alias;
        source.columns = engine_.describe(table);
        source.offset = static_cast<int>(combinedLayout_.size());
        for (ColumnInfo& column : source.columns) {
            column.table = source.alias;
            combinedLayout_.push_back(column);
        }
        sources_.push_back(std::move(source));
    }
    for (const SelectStatement::Join& join : s.joins) {
        const int left = sourceIndex(join.left);
        const int right = sourceIndex(join.right);
        if (left < 0 || right < 0 || left == right)
            refuse(QStringLiteral("a join between '%1' and '%2'").arg(join.left, join.right));
        if (join.type == QueryDef::JoinType::Left)
            sources_[right].nullable = true;
        else if (join.type == QueryDef::JoinType::Right)
            sources_[left].nullable = true;
    }
    addOutputs();
    nameOutputs();
    resolveAliases();

    // What opening the query checks: every expression binds, the joins can be planned.
    if (where_)
        BoundExpr(*where_, combinedLayout_, name_, context_);
    std::vector<const Expr*> joinConditions;
    planJoins(joinConditions);
    for (const Expr* condition : joinConditions)
        BoundExpr(*condition, combinedLayout_, name_, context_);
    prepareGrouping();
    if (!grouping_) {
        for (const Output& output : outputs_)
            BoundExpr(*output.expression, combinedLayout_, name_, context_);
        for (const OrderItem& order : s.orderBy)
            BoundExpr(*withOutputNames(*order.expression), combinedLayout_, name_, context_);
    }
}

SelectRunner::~SelectRunner() = default;

void SelectRunner::resolveAliases() {
    std::vector<ExprPtr> resolved;
    for (const Output& output : outputs_)
        resolved.push_back(withOutputNames(*output.expression));
    for (std::size_t i = 0; i < outputs_.size(); ++i)
        outputs_[i].expression = std::move(resolved[i]);
    if (statement_->where)
        where_ = withOutputNames(*statement_->where);
    for (const ExprPtr& group : statement_->groupBy)
        groupBy_.push_back(withOutputNames(*group));
}

void SelectRunner::addOutputs() {
    const auto addField = [this](const ColumnInfo& column) {
        auto field = std::make_unique<Expr>();
        field->kind = Expr::Kind::Field;
        field->qualifier = column.table;
        field->name = column.name;
        outputs_.push_back({QString(), std::move(field)});
    };
    for (const SelectStatement::Column& column : statement_->columns) {
        const Expr& expr = *column.expression;
        if (expr.kind == Expr::Kind::AllFields) {
            if (!expr.qualifier.isEmpty() && sourceIndex(expr.qualifier) < 0) {
                if (context_.unknownIsParameter)
                    BoundExpr::missingParameter();
                throw DataError(DataError::NoSuchField,
                                QStringLiteral("No field named '%1.*' in '%2'.").arg(expr.qualifier, name_));
            }
            for (const ColumnInfo& c : combinedLayout_)
                if (expr.qualifier.isEmpty() || sameName(c.table, expr.qualifier))
                    addField(c);
            continue;
        }
        outputs_.push_back({column.alias, expr.clone()});
    }
}

// Names as Access gives them: the alias; a field's name; "SumOfX" for an aggregate of a field;
// otherwise Expr1000, Expr1001, ... Fields of the same name from different tables are named
// Table.Field.
void SelectRunner::nameOutputs() {
    int unnamed = 1000;
    std::vector<bool> plainField(outputs_.size(), false);
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        Output& output = outputs_[i];
        const Expr& expr = *output.expression;
        // A field "aliased" with its own name (Access may store it so) is a plain field.
        if (expr.kind == Expr::Kind::Field && sameName(output.name, expr.name))
            output.name.clear();
        if (!output.name.isEmpty())
            continue;
        if (expr.kind == Expr::Kind::Field) {
            output.name = expr.name;
            plainField[i] = true;
        } else if (expr.kind == Expr::Kind::Call && BoundExpr::isAggregate(expr.name) &&
                   expr.children.size() == 1 && expr.children[0]->kind == Expr::Kind::Field) {
            output.name = expr.name + QStringLiteral("Of") + expr.children[0]->name;
        } else {
            output.name = QStringLiteral("Expr%1").arg(unnamed++);
        }
    }
    std::vector<bool> shared(outputs_.size(), false);
    for (std::size_t i = 0; i < outputs_.size(); ++i)
        for (std::size_t j = 0; j < outputs_.size() && !shared[i]; ++j)
            shared[i] = j != i && sameName(outputs_[j].name, outputs_[i].name);
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        if (!plainField[i] || !shared[i])
            continue;
        const Expr& field = *outputs_[i].expression;
        const int column = BoundExpr::resolve(field, combinedLayout_);
        const QString table = column >= 0 ? combinedLayout_[column].table : field.qualifier;
        if (!table.isEmpty())
            outputs_[i].name = table + QLatin1Char('.') + field.name;
    }
    for (const Output& output : outputs_)
        outputColumns_.push_back({name_, output.name});
}

int SelectRunner::sourceIndex(const QString& nameOrAlias) const {
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (sameName(sources_[i].alias, nameOrAlias))
            return static_cast<int>(i);
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (sameName(sources_[i].name, nameOrAlias))
            return static_cast<int>(i);
    return -1;
}

int SelectRunner::sourceOfColumn(int combinedColumn) const {
    for (int i = static_cast<int>(sources_.size()) - 1; i >= 0; --i)
        if (combinedColumn >= sources_[i].offset)
            return i;
    return 0;
}

bool SelectRunner::referencedSources(const Expr& node, std::vector<int>& sources) const {
    bool complete = true;
    forEachNode(node, [&](const Expr& n) {
        if (n.kind == Expr::Kind::Parameter || n.kind == Expr::Kind::AllFields)
            complete = false;
        // A correlated subquery is tested on the joined row, where every outer value is at hand.
        if (n.subquery && !engine_.outerFields(*n.subquery, combinedLayout_).empty())
            complete = false;
        if (n.kind != Expr::Kind::Field)
            return;
        const int column = BoundExpr::resolve(n, combinedLayout_);
        if (column < 0) {
            complete = false;
            return;
        }
        const int source = sourceOfColumn(column);
        if (std::find(sources.begin(), sources.end(), source) == sources.end())
            sources.push_back(source);
    });
    return complete;
}

void SelectRunner::markColumns(const Expr& node, std::vector<bool>& used) const {
    forEachNode(node, [&](const Expr& n) {
        if (n.subquery)
            for (const OuterField& field : engine_.outerFields(*n.subquery, combinedLayout_))
                used[field.column] = true;
        if (n.kind != Expr::Kind::Field)
            return;
        const int column = BoundExpr::resolve(n, combinedLayout_);
        if (column >= 0)
            used[column] = true;
    });
}

ExprPtr SelectRunner::substituteOutputs(const Expr& node) const {
    if (node.kind == Expr::Kind::Field && (node.qualifier.isEmpty() || sameName(node.qualifier, name_))) {
        for (const Output& output : outputs_)
            if (sameName(output.name, node.name))
                return output.expression->clone();
        throw DataError::noSuchField(node.describe(), name_);
    }
    ExprPtr copy = node.clone();
    copy->children.clear();
    for (const auto& child : node.children)
        copy->children.push_back(substituteOutputs(*child));
    copy->updateHeight();
    checkNesting(*copy);
    return copy;
}

// A name no source has that is an output's alias stands for that output's expression: in the
// other outputs, WHERE, GROUP BY, HAVING and ORDER BY, as Jet resolves it. An alias may use
// another; aliases that come round to themselves are an error.
ExprPtr SelectRunner::withOutputNames(const Expr& node, int depth) const {
    if (node.kind == Expr::Kind::Field && BoundExpr::resolve(node, combinedLayout_) < 0 &&
        (node.qualifier.isEmpty() || sameName(node.qualifier, name_)))
        for (const Output& output : outputs_) {
            const Expr& expr = *output.expression;
            const bool alias = expr.kind != Expr::Kind::Field || !sameName(expr.name, output.name);
            if (!alias || !sameName(output.name, node.name))
                continue;
            if (depth >= static_cast<int>(outputs_.size()))
                throw DataError(
                    DataError::CircularAlias,
                    QStringLiteral("Circular reference caused by alias '%1' in query definition's "
                                   "SELECT list.")
                        .arg(output.name));
            return withOutputNames(expr, depth + 1);
        }
    // Aliases that each use the one before twice would double the expression at every step.
    if (++resolvedNodes_ > kMaximumResolvedNodes)
        throwTooComplex();
    ExprPtr copy = node.clone();
    copy->children.clear();
    for (const auto& child : node.children)
        copy->children.push_back(withOutputNames(*child, depth));
    copy->updateHeight();
    checkNesting(*copy);
    return copy;
}

JoinStep SelectRunner::planStep(const std::vector<const SelectStatement::Join*>& group,
                                std::vector<bool>& joined, std::vector<const Expr*>& conditions) const {
    const SelectStatement::Join& join = *group.front();
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
    std::vector<const Expr*> parts;
    for (const SelectStatement::Join* member : group)
        collectConjuncts(member->on.get(), parts);
    for (const Expr* part : parts) {
        const bool equalFields = part->kind == Expr::Kind::Compare && part->op == Expr::Op::Equal &&
                                 part->children[0]->kind == Expr::Kind::Field &&
                                 part->children[1]->kind == Expr::Kind::Field;
        int a = equalFields ? BoundExpr::resolve(*part->children[0], combinedLayout_) : -1;
        int b = equalFields ? BoundExpr::resolve(*part->children[1], combinedLayout_) : -1;
        // Any other part of an inner join is a condition on the joined rows.
        if (join.type == QueryDef::JoinType::Inner &&
            (!equalFields || (a >= 0 && b >= 0 &&
                              (sourceOfColumn(a) == sourceOfColumn(b) ||
                               (sourceOfColumn(a) != step.added && sourceOfColumn(b) != step.added))))) {
            conditions.push_back(part);
            continue;
        }
        if (!equalFields)
            refuse(QStringLiteral("an outer join on something other than equal fields"));
        if (a < 0 || b < 0) {
            if (context_.unknownIsParameter)
                BoundExpr::missingParameter();
            throw DataError::noSuchField((a < 0 ? part->children[0] : part->children[1])->describe(), name_);
        }
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

// A ring of inner joins is one more condition on the joined rows; with an outer join in it, which
// join comes first would change the rows, so the query cannot run.
void SelectRunner::closeRing(const SelectStatement::Join& join, const std::vector<JoinLink>& links,
                             std::vector<const Expr*>& conditions) const {
    if (join.type != QueryDef::JoinType::Inner ||
        outerJoinOnPath(links, sourceIndex(join.left), sourceIndex(join.right)).value_or(false))
        throw DataError(
            DataError::AmbiguousOuterJoins,
            QStringLiteral("The SQL statement could not be executed because it contains ambiguous "
                           "outer joins. To force one of the joins to be performed first, create a "
                           "separate query that performs the first join and then include that query "
                           "in your SQL statement."));
    collectConjuncts(join.on.get(), conditions);
}

std::vector<JoinStep> SelectRunner::planJoins(std::vector<const Expr*>& conditions) const {
    if (sources_.empty())
        return {};
    std::vector<bool> joined(sources_.size(), false);
    joined[0] = true;
    std::vector<const SelectStatement::Join*> pending;
    for (const SelectStatement::Join& join : statement_->joins)
        pending.push_back(&join);
    std::vector<JoinStep> steps;
    std::vector<JoinLink> links; // the joins planned so far: a tree over the tables
    while (!pending.empty()) {
        // A join between tables joined already closes a ring: each table is joined once.
        auto closing = std::find_if(pending.begin(), pending.end(), [&](const SelectStatement::Join* join) {
            return joined[sourceIndex(join->left)] && joined[sourceIndex(join->right)];
        });
        if (closing != pending.end()) {
            closeRing(**closing, links, conditions);
            pending.erase(closing);
            continue;
        }
        auto next = std::find_if(pending.begin(), pending.end(), [&](const SelectStatement::Join* join) {
            return joined[sourceIndex(join->left)] != joined[sourceIndex(join->right)];
        });
        if (next == pending.end()) {
            // The joins left are among tables not reached yet: reach the first one by a join on
            // no field (a table listed with a comma), then go on.
            const int left = sourceIndex(pending.front()->left);
            JoinStep cross;
            cross.added = left;
            steps.push_back(cross);
            joined[left] = true;
            continue;
        }
        const int a = sourceIndex((*next)->left);
        const int b = sourceIndex((*next)->right);
        std::vector<const SelectStatement::Join*> group;
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
        const bool outer = std::any_of(group.begin(), group.end(), [](const SelectStatement::Join* join) {
            return join->type != QueryDef::JoinType::Inner;
        });
        links.push_back({a, b, outer});
        steps.push_back(planStep(group, joined, conditions));
    }
    // Tables listed without a join ("FROM A, B"): every row with every row, the WHERE decides.
    for (std::size_t s = 0; s < sources_.size(); ++s) {
        if (joined[s])
            continue;
        JoinStep step;
        step.added = static_cast<int>(s);
        steps.push_back(step);
        joined[s] = true;
    }
    return steps;
}

void SelectRunner::prepareGrouping() {
    const SelectStatement& s = *statement_;
    bool grouped = !s.groupBy.empty() || s.having;
    for (const Output& output : outputs_)
        grouped = grouped || Grouping::usesAggregate(*output.expression);
    for (const OrderItem& order : s.orderBy)
        grouped = grouped || Grouping::usesAggregate(*order.expression);
    if (!grouped)
        return;
    if (where_ && Grouping::usesAggregate(*where_))
        throw DataError(
            DataError::MisplacedAggregate,
            QStringLiteral("Cannot have an aggregate function in WHERE clause (%1).").arg(where_->toText()));
    std::vector<const Expr*> groupBy;
    for (const ExprPtr& group : groupBy_)
        groupBy.push_back(group.get());
    grouping_ = std::make_unique<Grouping>(groupBy, combinedLayout_, context_, name_);
    for (const Output& output : outputs_)
        groupedOutputs_.push_back(grouping_->rewrite(*output.expression));
    if (s.having)
        groupedHaving_ = grouping_->rewrite(*withOutputNames(*s.having));
    for (const OrderItem& order : s.orderBy)
        groupedOrder_.push_back(grouping_->rewrite(*withOutputNames(*order.expression)));
    for (const ExprPtr& expr : groupedOutputs_)
        BoundExpr(*expr, grouping_->groupLayout(), name_, context_);
    if (groupedHaving_)
        BoundExpr(*groupedHaving_, grouping_->groupLayout(), name_, context_);
    for (const ExprPtr& expr : groupedOrder_)
        BoundExpr(*expr, grouping_->groupLayout(), name_, context_);
}

SelectRunner::RunPlan SelectRunner::planRun(const std::vector<const Expr*>& conditions) {
    const SelectStatement& s = *statement_;
    RunPlan plan;
    for (Source& source : sources_)
        source.pushed.clear();
    for (const Expr* condition : conditions) {
        std::vector<int> used;
        if (referencedSources(*condition, used) && used.size() == 1 && !sources_[used[0]].nullable)
            sources_[used[0]].pushed.push_back(condition);
        else
            plan.residual.push_back(condition);
    }

    // Only the columns the outputs, joins, remaining conditions, grouping and order read are
    // decoded.
    std::vector<bool>& used = plan.used;
    used.assign(combinedLayout_.size(), false);
    for (const Output& output : outputs_)
        markColumns(*output.expression, used);
    for (const Expr* condition : plan.residual)
        markColumns(*condition, used);
    for (const SelectStatement::Join& join : s.joins)
        markColumns(*join.on, used);
    for (const OrderItem& order : s.orderBy)
        markColumns(*withOutputNames(*order.expression), used);
    for (const ExprPtr& group : groupBy_)
        markColumns(*group, used);
    if (s.having)
        markColumns(*withOutputNames(*s.having), used);
    if (s.distinctRow) {
        // Rows are told apart by every column of the tables the outputs come from.
        for (const Output& output : outputs_) {
            std::vector<int> from;
            referencedSources(*output.expression, from);
            for (int source : from)
                std::fill(used.begin() + sources_[source].offset,
                          used.begin() + sources_[source].offset +
                              static_cast<long>(sources_[source].columns.size()),
                          true);
        }
    }
    std::vector<const Expr*> joinConditions;
    plan.steps = planJoins(joinConditions);
    for (const Expr* condition : joinConditions) {
        plan.residual.push_back(condition);
        markColumns(*condition, used);
    }
    return plan;
}

std::vector<bool> SelectRunner::RunPlan::neededBy(const Source& source) const {
    return {used.begin() + source.offset,
            used.begin() + source.offset + static_cast<long>(source.columns.size())};
}

ExprPtr SelectRunner::pushedFilter(std::size_t source) const {
    ExprPtr filter = joinConjuncts(sources_[source].pushed);
    if (filter)
        stripQualifiers(*filter);
    return filter;
}

std::unique_ptr<BoundExpr> SelectRunner::residualCondition(const RunPlan& plan) const {
    if (plan.residual.empty())
        return nullptr;
    return std::make_unique<BoundExpr>(*joinConjuncts(plan.residual), combinedLayout_, name_, context_);
}

std::vector<int> SelectRunner::sourceOffsets() const {
    std::vector<int> offsets;
    for (const Source& source : sources_)
        offsets.push_back(source.offset);
    return offsets;
}

std::vector<std::vector<Value>> SelectRunner::joinedRows(const std::vector<ExprPtr>& owned) {
    std::vector<const Expr*> conditions;
    for (const ExprPtr& condition : owned)
        collectConjuncts(condition.get(), conditions);
    // No FROM: one row with no columns, kept when the conditions hold on it.
    if (sources_.empty()) {
        std::vector<std::vector<Value>> one(1);
        VectorRow row(one.front());
        if (!conditions.empty() &&
            !BoundExpr(*joinConjuncts(conditions), combinedLayout_, name_, context_).passes(row))
            one.clear();
        return one;
    }
    const RunPlan plan = planRun(conditions);

    // One source and no condition left over: its rows are read straight in, with no join step.
    if (sources_.size() == 1 && plan.residual.empty() && engine_.directScans())
        return engine_.scan(sources_[0].table, pushedFilter(0).get(), &plan.used).rows;

    // The first source is read forward; the others are held in memory to be probed by hash.
    // A first source found through an index is read first: a table joined to it on one value
    // alone is then looked up by that value instead of read whole.
    std::vector<RowSet> scanned(sources_.size());
    std::unique_ptr<RowSource> first;
    std::optional<RowSet> firstRows;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        const Source& source = sources_[i];
        const ExprPtr filter = pushedFilter(i);
        const std::vector<bool> needed = plan.neededBy(source);
        if (i == 0) {
            firstRows = engine_.scanBySeek(source.table, filter.get(), &needed);
            if (!firstRows)
                first = engine_.open(source.table, filter.get());
            continue;
        }
        if (firstRows)
            if (auto matches = joinMatches(plan.steps, i, *firstRows, filter.get(), needed)) {
                scanned[i] = std::move(*matches);
                continue;
            }
        scanned[i] = engine_.scan(source.table, filter.get(), &needed);
    }
    if (firstRows)
        first = std::make_unique<RowSetSource>(std::move(*firstRows));
    const std::unique_ptr<BoundExpr> condition = residualCondition(plan);
    JoinPipeline pipeline(sourceOffsets(), static_cast<int>(combinedLayout_.size()), plan.steps, scanned,
                          condition.get(), plan.used);
    return pipeline.run(*first);
}

// The rows of source `added` a join step can match with the first source's rows, when they
// all join on one value (as a graduate looked up by ID joins to the programme of its code):
// found through an index by that value. nullopt when the step or the source does not allow it.
std::optional<RowSet> SelectRunner::joinMatches(const std::vector<JoinStep>& steps, std::size_t added,
                                                const RowSet& firstRows, const Expr* filter,
                                                const std::vector<bool>& needed) {
    const auto step = std::find_if(steps.begin(), steps.end(),
                                   [added](const JoinStep& s) { return s.added == static_cast<int>(added); });
    if (step == steps.end() || step->keepNew || step->newColumns.size() != 1 || step->oldColumns.size() != 1)
        return std::nullopt;
    const int firstColumn = step->oldColumns.front() - sources_[0].offset;
    if (firstColumn < 0 || firstColumn >= static_cast<int>(sources_[0].columns.size()))
        return std::nullopt;
    const jet4::Value* value = nullptr;
    QString key;
    for (const std::vector<Value>& row : firstRows.rows) {
        const QString rowKey = matchKey(row[firstColumn]);
        if (rowKey.isEmpty())
            continue;
        if (value && rowKey != key)
            return std::nullopt; // several values: read the table whole
        value = &row[firstColumn];
        key = rowKey;
    }
    const Source& source = sources_[added];
    if (!value) { // nothing to match: no row of the table is needed
        RowSet none;
        none.columns = engine_.describe(source.table);
        return none;
    }
    const QString& column = source.columns[step->newColumns.front()].name;
    return engine_.scanJoinMatches(source.table, column, *value, filter, &needed);
}

// DISTINCTROW: one row for each combination of records of the tables the outputs come from,
// when they do not come from every table.
void SelectRunner::keepDistinctRows(std::vector<std::vector<Value>>& rows) const {
    std::vector<int> from;
    for (const Output& output : outputs_)
        referencedSources(*output.expression, from);
    if (from.size() >= sources_.size() || sources_.size() < 2)
        return;
    std::sort(from.begin(), from.end());
    QSet<QString> seen;
    std::vector<std::vector<Value>> kept;
    for (auto& row : rows) {
        QueryGovernor::tick();
        QString key;
        for (int source : from)
            for (std::size_t c = 0; c < sources_[source].columns.size(); ++c)
                key += matchKey(row[sources_[source].offset + c]) + QChar(0x1F);
        if (!seen.contains(key)) {
            seen.insert(key);
            kept.push_back(std::move(row));
        }
    }
    rows.swap(kept);
}

// TOP n [PERCENT]: the first rows, and after them every row whose sort values equal the last
// one's (without ORDER BY, exactly n).
std::vector<std::size_t> SelectRunner::topRows(const std::vector<std::vector<Value>>& rows,
                                               const std::vector<std::size_t>& kept,
                                               const SortKeys& keys) const {
    const SelectStatement& s = *statement_;
    std::size_t count = static_cast<std::size_t>(s.top);
    if (s.topPercent)
        count = s.top >= 100
                    ? kept.size()
                    : static_cast<std::size_t>(std::ceil(static_cast<double>(kept.size()) * s.top / 100.0));
    if (count >= kept.size())
        return kept;
    std::vector<std::size_t> result(kept.begin(), kept.begin() + static_cast<long>(count));
    if (count == 0 || keys.empty())
        return result;
    const auto keyValues = [&](std::size_t row) {
        VectorRow values(rows[row]);
        std::vector<Value> out;
        for (const auto& key : keys)
            out.push_back(key.first->evaluate(values));
        return out;
    };
    const std::vector<Value> edge = keyValues(kept[count - 1]);
    for (std::size_t i = count; i < kept.size(); ++i) {
        const std::vector<Value> next = keyValues(kept[i]);
        bool tie = true;
        for (std::size_t k = 0; k < edge.size() && tie; ++k)
            tie = compareForOrder(edge[k], next[k]) == 0;
        if (!tie)
            break;
        result.push_back(kept[i]);
    }
    return result;
}

bool SelectRunner::outputsAreTheColumns() const {
    const std::optional<std::vector<int>> columns = outputsAsColumns();
    if (!columns || columns->size() != combinedLayout_.size())
        return false;
    for (std::size_t i = 0; i < columns->size(); ++i)
        if ((*columns)[i] != static_cast<int>(i))
            return false;
    return true;
}

bool SelectRunner::readsOneSourceInOrder() const {
    const SelectStatement& s = *statement_;
    return sources_.size() == 1 && !sources_[0].table.derived && s.joins.empty() && !grouping_ &&
           !s.distinct && !s.distinctRow && s.top <= 0 && !s.orderBy.empty() && engine_.directScans() &&
           outputsAreTheColumns();
}

std::unique_ptr<RowSource> SelectRunner::openOrdered() {
    if (!readsOneSourceInOrder())
        return nullptr;
    // Every condition is tested while the source is read, as run() does when none is left over.
    std::vector<const Expr*> conditions;
    collectConjuncts(where_.get(), conditions);
    for (const Expr* condition : conditions) {
        std::vector<int> used;
        if (!referencedSources(*condition, used) || used.size() != 1)
            return nullptr;
    }
    ExprPtr filter = joinConjuncts(conditions);
    if (filter)
        stripQualifiers(*filter);
    SortKeys keys;
    std::vector<bool> descending;
    for (const OrderItem& order : statement_->orderBy) {
        keys.emplace_back(std::make_unique<BoundExpr>(*withOutputNames(*order.expression), combinedLayout_,
                                                      name_, context_),
                          order.descending);
        descending.push_back(order.descending);
    }
    const QString& source = sources_[0].table.name;
    if (engine_.openRows(source, {}))
        return openTableOrdered(std::move(filter), keys, descending);
    if (const std::shared_ptr<const SelectStatement> stored = engine_.storedSelect(source))
        return SelectRunner(engine_, stored)
            .openJoinedOrdered(filter.get(), keys, descending, outputColumns_);
    return nullptr;
}

std::unique_ptr<RowSource> SelectRunner::openTableOrdered(ExprPtr filter, const SortKeys& keys,
                                                          const std::vector<bool>& descending) {
    const QString& table = sources_[0].table.name;
    std::vector<std::uint32_t> pointers;
    std::vector<Value> keyValues;
    {
        const std::unique_ptr<RowSource> rows = engine_.open(sources_[0].table, filter.get());
        // Room made ahead (a count stated wrongly costs only address space, and is capped).
        constexpr std::size_t most = std::size_t(1) << 22;
        pointers.reserve(std::min(rows->expectedRows(), most));
        keyValues.reserve(std::min(rows->expectedRows() * keys.size(), most));
        while (rows->next()) {
            QueryGovernor::tick();
            const std::uint32_t pointer = rows->rowPointer();
            if (pointer == 0)
                return nullptr;
            pointers.push_back(pointer);
            for (const auto& key : keys)
                keyValues.push_back(key.first->evaluate(*rows));
        }
    }
    const std::vector<std::size_t> order = sortedOrder(std::move(keyValues), descending);
    // Rows stored in the order asked for (as lists often are) are read again the same way, with
    // the table's forward read; a condition, which may run subqueries through this engine, is
    // not kept past the engine's life, so then the rows are read by where they are.
    if (!filter && std::is_sorted(order.begin(), order.end()))
        return std::make_unique<RelabelledRowSource>(outputColumns_,
                                                     engine_.open(sources_[0].table, nullptr));
    std::unique_ptr<RowSource> rows = engine_.openRows(table, inOrder(std::move(pointers), order, 1));
    if (!rows)
        return nullptr;
    return std::make_unique<RelabelledRowSource>(outputColumns_, std::move(rows));
}

std::optional<std::vector<int>> SelectRunner::outputsAsColumns() const {
    std::vector<int> columns;
    for (const Output& output : outputs_) {
        const int column = output.expression->kind == Expr::Kind::Field
                               ? BoundExpr::resolve(*output.expression, combinedLayout_)
                               : -1;
        if (column < 0)
            return std::nullopt;
        columns.push_back(column);
    }
    return columns;
}

std::unique_ptr<RowSource> SelectRunner::openJoinedOrdered(const Expr* outputFilter, const SortKeys& keys,
                                                           const std::vector<bool>& descending,
                                                           std::vector<ColumnInfo> columns) {
    const SelectStatement& s = *statement_;
    const std::optional<std::vector<int>> outputColumns = outputsAsColumns();
    if (sources_.empty() || sources_[0].table.derived || sources_[0].nullable || grouping_ || s.distinct ||
        s.distinctRow || s.top > 0 || !s.orderBy.empty() || !outputColumns)
        return nullptr;
    const QString& table = sources_[0].table.name;
    if (!engine_.openRows(table, {}))
        return nullptr;
    std::vector<ExprPtr> owned;
    if (where_)
        owned.push_back(where_->clone());
    if (outputFilter)
        owned.push_back(substituteOutputs(*outputFilter));
    std::vector<const Expr*> conditions;
    for (const ExprPtr& condition : owned)
        collectConjuncts(condition.get(), conditions);
    const RunPlan plan = planRun(conditions);
    const ExprPtr firstFilter = pushedFilter(0);
    // Rows an index finds are few, and the tables joined to them may be found by index too: such
    // a query runs as run() runs it.
    if (std::any_of(plan.steps.begin(), plan.steps.end(),
                    [](const JoinStep& step) { return step.keepNew; }) ||
        (firstFilter && engine_.answersBySeek(table, *firstFilter)))
        return nullptr;

    std::vector<RowSet> held(sources_.size());
    for (std::size_t i = 1; i < sources_.size(); ++i) {
        const std::vector<bool> needed = plan.neededBy(sources_[i]);
        held[i] = engine_.scan(sources_[i].table, pushedFilter(i).get(), &needed);
    }
    const std::unique_ptr<BoundExpr> condition = residualCondition(plan);
    const int width = static_cast<int>(combinedLayout_.size());
    JoinPipeline pipeline(sourceOffsets(), width, plan.steps, held, condition.get(), plan.used);

    // Each joined row is kept as where its first table's row is, which row of each other source
    // joined it, and its sort values.
    const std::size_t others = sources_.size() - 1;
    std::vector<std::uint32_t> pointers;
    std::vector<int> matches;
    std::vector<Value> keyValues;
    bool pointed = true;
    {
        const std::unique_ptr<RowSource> first = engine_.open(sources_[0].table, firstFilter.get());
        pipeline.run(*first, [&](JoinedRow& row, const std::vector<int>& matched) {
            const std::uint32_t pointer = first->rowPointer();
            pointed = pointed && pointer != 0;
            if (!pointed)
                return;
            pointers.push_back(pointer);
            matches.insert(matches.end(), matched.begin() + 1, matched.end());
            ColumnSubset outputs(row, *outputColumns);
            for (const auto& key : keys)
                keyValues.push_back(key.first->evaluate(outputs));
        });
    }
    if (!pointed)
        return nullptr;
    const std::vector<std::size_t> order = sortedOrder(std::move(keyValues), descending);
    matches = inOrder(std::move(matches), order, others);
    std::unique_ptr<RowSource> firstRows = engine_.openRows(table, inOrder(std::move(pointers), order, 1));
    if (!firstRows)
        return nullptr;
    return std::make_unique<LateJoinedRows>(std::move(columns), *outputColumns, std::move(firstRows),
                                            std::move(held), std::move(matches), sourceOffsets(), width);
}

RowSet SelectRunner::run(const Expr* outputFilter) {
    const SelectStatement& s = *statement_;
    // A condition on the outputs goes down to the tables unless grouping or TOP stand between.
    const bool deferFilter = grouping_ || s.top > 0;
    std::vector<ExprPtr> conditions;
    if (where_)
        conditions.push_back(where_->clone());
    if (outputFilter && !deferFilter)
        conditions.push_back(substituteOutputs(*outputFilter));
    std::vector<std::vector<Value>> rows = joinedRows(conditions);

    SortKeys keys;
    std::vector<std::unique_ptr<BoundExpr>> projections;
    if (grouping_) {
        const std::vector<ColumnInfo>& layout = grouping_->groupLayout();
        rows = grouping_->run(std::move(rows));
        if (groupedHaving_) {
            const BoundExpr having(*groupedHaving_, layout, name_, context_);
            std::vector<std::vector<Value>> kept;
            for (auto& row : rows) {
                VectorRow values(row);
                if (having.passes(values))
                    kept.push_back(std::move(row));
            }
            rows.swap(kept);
        }
        for (std::size_t i = 0; i < groupedOrder_.size(); ++i)
            keys.emplace_back(std::make_unique<BoundExpr>(*groupedOrder_[i], layout, name_, context_),
                              s.orderBy[i].descending);
        for (const ExprPtr& output : groupedOutputs_)
            projections.push_back(std::make_unique<BoundExpr>(*output, layout, name_, context_));
    } else {
        for (const OrderItem& order : s.orderBy)
            keys.emplace_back(std::make_unique<BoundExpr>(*withOutputNames(*order.expression),
                                                          combinedLayout_, name_, context_),
                              order.descending);
        for (const Output& output : outputs_)
            projections.push_back(
                std::make_unique<BoundExpr>(*output.expression, combinedLayout_, name_, context_));
    }
    sortRows(rows, keys);
    if (s.distinctRow && !grouping_)
        keepDistinctRows(rows);

    // Outputs that are the source's columns in order take its rows as they are.
    const bool rowsAsRead = !grouping_ && engine_.directScans() && outputsAreTheColumns();
    RowSet result;
    result.columns = outputColumns_;
    result.rows.reserve(rows.size());
    std::vector<std::size_t> origin;
    QSet<QString> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QueryGovernor::tick();
        std::vector<Value> out;
        if (rowsAsRead && s.top <= 0) {
            out = std::move(rows[i]);
        } else {
            VectorRow values(rows[i]);
            out.reserve(projections.size());
            for (const auto& projection : projections)
                out.push_back(projection->evaluate(values));
        }
        if (s.distinct) {
            const QString key = rowKey(out);
            if (seen.contains(key))
                continue;
            seen.insert(key);
        }
        result.rows.push_back(std::move(out));
        origin.push_back(i);
        if (s.top <= 0)
            std::vector<Value>().swap(rows[i]);
    }
    if (s.top > 0) {
        // The rows kept are a leading part of the result.
        result.rows.resize(topRows(rows, origin, keys).size());
    }
    if (outputFilter && deferFilter) {
        const BoundExpr filter(*outputFilter, outputColumns_, name_, context_);
        std::vector<std::vector<Value>> kept;
        for (auto& row : result.rows) {
            VectorRow values(row);
            if (filter.passes(values))
                kept.push_back(std::move(row));
        }
        result.rows.swap(kept);
    }
    return result;
}

} // namespace convodesk::data::query
