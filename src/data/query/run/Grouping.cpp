#include "Grouping.h"

#include "data/DataError.h"
#include "data/query/eval/QueryGovernor.h"
#include "data/query/eval/ValueCompare.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace convodesk::data::query {

using jet4::Value;

Grouping::Grouping(const std::vector<const Expr*>& groupBy, const std::vector<ColumnInfo>& layout,
                   const BindContext& context, const QString& queryName)
    : layout_(layout), context_(context), queryName_(queryName) {
    for (const Expr* group : groupBy) {
        if (usesAggregate(*group))
            throw DataError(DataError::MisplacedAggregate,
                            QStringLiteral("Cannot have an aggregate function in GROUP BY clause (%1).")
                                .arg(group->toText()));
        groupValues_.push_back(std::make_unique<BoundExpr>(*group, layout_, queryName_, context_));
        groups_.push_back(resolved(*group));
        groupLayout_.push_back({queryName_, group->toText()});
    }
}

bool Grouping::usesAggregate(const Expr& expression) {
    bool found = false;
    forEachNode(expression, [&](const Expr& node) {
        found = found || (node.kind == Expr::Kind::Call && BoundExpr::isAggregate(node.name));
    });
    return found;
}

ExprPtr Grouping::resolved(const Expr& expression) const {
    ExprPtr copy = expression.clone();
    forEachNode(*copy, [&](Expr& node) {
        if (node.kind == Expr::Kind::Field && !node.bound) {
            node.column = BoundExpr::resolve(node, layout_);
            node.bound = node.column >= 0;
        }
    });
    return copy;
}

ExprPtr Grouping::rewrite(const Expr& expression) {
    ExprPtr result = rewriteResolved(*resolved(expression));
    result->updateHeight();
    return result;
}

ExprPtr Grouping::rewriteResolved(const Expr& node) {
    const auto groupColumn = [](int column, const QString& name) {
        auto field = std::make_unique<Expr>();
        field->kind = Expr::Kind::Field;
        field->name = name;
        field->column = column;
        field->bound = true;
        return field;
    };
    for (std::size_t g = 0; g < groups_.size(); ++g)
        if (sameExpression(node, *groups_[g]))
            return groupColumn(static_cast<int>(g), node.toText());
    if (node.kind == Expr::Kind::Call && BoundExpr::isAggregate(node.name)) {
        for (const auto& child : node.children)
            if (usesAggregate(*child))
                throw DataError(DataError::MisplacedAggregate,
                                QStringLiteral("Cannot have an aggregate function in expression (%1).")
                                    .arg(node.toText()));
        const int base = static_cast<int>(groups_.size());
        for (std::size_t a = 0; a < aggregates_.size(); ++a)
            if (sameExpression(node, *aggregates_[a].call))
                return groupColumn(base + static_cast<int>(a), node.toText());
        if (node.countAll ? !node.children.empty() : node.children.size() != 1)
            throw DataError(DataError::SyntaxError,
                            QStringLiteral("Wrong number of arguments used with function in query expression "
                                           "'%1'.")
                                .arg(node.toText()));
        AggregateUse use;
        use.call = node.clone();
        use.kind = Aggregate::kindOf(node.name);
        if (!node.countAll)
            use.argument = std::make_unique<BoundExpr>(*node.children[0], layout_, queryName_, context_);
        aggregates_.push_back(std::move(use));
        groupLayout_.push_back({queryName_, node.toText()});
        return groupColumn(base + static_cast<int>(aggregates_.size() - 1), node.toText());
    }
    if (node.kind == Expr::Kind::Field) {
        if (node.column < 0) {
            if (context_.unknownIsParameter)
                BoundExpr::missingParameter();
            throw DataError::noSuchField(node.describe(), queryName_);
        }
        throw DataError(DataError::NotAggregated,
                        QStringLiteral("You tried to execute a query that does not include the specified "
                                       "expression '%1' as part of an aggregate function.")
                            .arg(node.describe()));
    }
    ExprPtr copy = node.clone();
    copy->children.clear();
    for (const auto& child : node.children)
        copy->children.push_back(rewriteResolved(*child));
    return copy;
}

std::vector<std::vector<Value>> Grouping::run(std::vector<std::vector<Value>> rows) const {
    struct Group {
        std::vector<Value> keys;
        std::vector<Aggregate> aggregates;
    };
    std::vector<Group> groups;
    QHash<QString, int> index;
    const auto newGroup = [&](std::vector<Value> keys) {
        Group group{std::move(keys), {}};
        for (const AggregateUse& use : aggregates_)
            group.aggregates.emplace_back(use.kind, use.argument == nullptr);
        groups.push_back(std::move(group));
        return static_cast<int>(groups.size() - 1);
    };
    if (groups_.empty())
        newGroup({});
    for (auto& values : rows) {
        QueryGovernor::tick();
        VectorRow row(values);
        std::vector<Value> keys;
        QString key;
        for (const auto& value : groupValues_) {
            keys.push_back(value->evaluate(row));
            key += matchKey(keys.back()) + QChar(0x1F);
        }
        int at = 0;
        if (!groups_.empty()) {
            const auto found = index.constFind(key);
            at = found != index.constEnd() ? *found : newGroup(std::move(keys));
            if (found == index.constEnd())
                index.insert(key, at);
        }
        Group& group = groups[at];
        for (std::size_t a = 0; a < aggregates_.size(); ++a)
            group.aggregates[a].add(aggregates_[a].argument ? aggregates_[a].argument->evaluate(row)
                                                            : Value());
        std::vector<Value>().swap(values);
    }
    // Groups come in the order of their grouped values, Nulls first.
    std::vector<std::size_t> order(groups.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t k = 0; k < groups_.size(); ++k)
            if (const int c = compareForOrder(groups[a].keys[k], groups[b].keys[k]); c != 0)
                return c < 0;
        return false;
    });
    std::vector<std::vector<Value>> result;
    result.reserve(groups.size());
    for (std::size_t i : order) {
        std::vector<Value> row = std::move(groups[i].keys);
        for (const Aggregate& aggregate : groups[i].aggregates)
            row.push_back(aggregate.result());
        result.push_back(std::move(row));
    }
    return result;
}

} // namespace convodesk::data::query
