#include "CorrelatedSubquery.h"

#include "data/query/eval/Evaluator.h"

namespace convodesk::data::query {
namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The sources of one SELECT, to tell its own names from outer ones.
struct LocalScope {
    std::vector<QString> aliases;
    std::vector<std::vector<ColumnInfo>> columns;

    bool has(const Expr& field) const {
        for (std::size_t i = 0; i < aliases.size(); ++i) {
            if (!field.qualifier.isEmpty()) {
                if (sameName(aliases[i], field.qualifier))
                    return true;
                continue;
            }
            for (const ColumnInfo& column : columns[i])
                if (sameName(column.name, field.name))
                    return true;
        }
        return false;
    }
};

class OuterFieldFinder {
public:
    OuterFieldFinder(const std::vector<ColumnInfo>& outerLayout, const DescribeSource& describe)
        : outerLayout_(outerLayout), describe_(describe) {}

    void statement(const SelectStatement& s) {
        if (!s.unionParts.empty()) {
            for (const auto& part : s.unionParts)
                statement(*part);
            return;
        }
        LocalScope scope;
        for (const SelectStatement::Table& table : s.tables) {
            scope.aliases.push_back(table.alias.isEmpty() ? table.name : table.alias);
            scope.columns.push_back(describe_(table));
        }
        scopes_.push_back(&scope);
        for (const SelectStatement::Column& column : s.columns)
            expression(*column.expression);
        for (const SelectStatement::Join& join : s.joins)
            expression(*join.on);
        if (s.where)
            expression(*s.where);
        for (const ExprPtr& group : s.groupBy)
            expression(*group);
        if (s.having)
            expression(*s.having);
        for (const OrderItem& order : s.orderBy)
            expression(*order.expression);
        scopes_.pop_back();
    }

    std::vector<OuterField> found;

private:
    void expression(const Expr& node) {
        if (node.kind == Expr::Kind::Field) {
            for (const LocalScope* scope : scopes_)
                if (scope->has(node))
                    return;
            if (const int column = BoundExpr::resolve(node, outerLayout_); column >= 0)
                found.push_back({&node, column});
            return;
        }
        if (node.subquery)
            statement(*node.subquery);
        for (const auto& child : node.children)
            expression(*child);
    }

    const std::vector<ColumnInfo>& outerLayout_;
    const DescribeSource& describe_;
    std::vector<const LocalScope*> scopes_;
};

ExprPtr replaced(const Expr& node, const QHash<const Expr*, jet4::Value>& values) {
    if (const auto it = values.constFind(&node); it != values.constEnd())
        return makeLiteral(*it);
    ExprPtr copy = node.clone();
    copy->children.clear();
    for (const auto& child : node.children)
        copy->children.push_back(replaced(*child, values));
    if (node.subquery)
        copy->subquery = withOuterValues(*node.subquery, values);
    return copy;
}

ExprPtr replacedOrNull(const ExprPtr& node, const QHash<const Expr*, jet4::Value>& values) {
    return node ? replaced(*node, values) : nullptr;
}

} // namespace

std::vector<OuterField> findOuterFields(const SelectStatement& statement,
                                        const std::vector<ColumnInfo>& outerLayout,
                                        const DescribeSource& describe) {
    OuterFieldFinder finder(outerLayout, describe);
    finder.statement(statement);
    return std::move(finder.found);
}

std::shared_ptr<const SelectStatement> withOuterValues(const SelectStatement& s,
                                                       const QHash<const Expr*, jet4::Value>& values) {
    auto copy = std::make_shared<SelectStatement>();
    copy->name = s.name;
    copy->distinct = s.distinct;
    copy->distinctRow = s.distinctRow;
    copy->top = s.top;
    copy->topPercent = s.topPercent;
    for (const SelectStatement::Column& column : s.columns)
        copy->columns.push_back({replaced(*column.expression, values), column.alias});
    copy->tables = s.tables;
    for (const SelectStatement::Join& join : s.joins)
        copy->joins.push_back({join.type, join.left, join.right, replaced(*join.on, values)});
    copy->where = replacedOrNull(s.where, values);
    for (const ExprPtr& group : s.groupBy)
        copy->groupBy.push_back(replaced(*group, values));
    copy->having = replacedOrNull(s.having, values);
    for (const OrderItem& order : s.orderBy)
        copy->orderBy.push_back({replaced(*order.expression, values), order.descending});
    copy->needsParameters = s.needsParameters;
    for (const auto& part : s.unionParts)
        copy->unionParts.push_back(withOuterValues(*part, values));
    copy->unionAll = s.unionAll;
    return copy;
}

} // namespace convodesk::data::query
