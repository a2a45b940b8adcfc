#include "Expr.h"

namespace convodesk::data::query {

std::unique_ptr<Expr> Expr::clone() const {
    auto copy = std::make_unique<Expr>();
    copy->kind = kind;
    copy->op = op;
    copy->negated = negated;
    copy->qualifier = qualifier;
    copy->name = name;
    copy->value = value;
    copy->column = column;
    copy->accessWildcards = accessWildcards;
    for (const auto& child : children)
        copy->children.push_back(child->clone());
    return copy;
}

QString Expr::describe() const {
    return qualifier.isEmpty() ? name : qualifier + QLatin1Char('.') + name;
}

ExprPtr makeBinary(Expr::Kind kind, ExprPtr left, ExprPtr right) {
    auto node = std::make_unique<Expr>();
    node->kind = kind;
    node->children.push_back(std::move(left));
    node->children.push_back(std::move(right));
    return node;
}

void collectConjuncts(const Expr* condition, std::vector<const Expr*>& out) {
    if (!condition)
        return;
    if (condition->kind == Expr::Kind::And) {
        for (const auto& child : condition->children)
            collectConjuncts(child.get(), out);
        return;
    }
    out.push_back(condition);
}

ExprPtr joinConjuncts(const std::vector<const Expr*>& parts) {
    ExprPtr result;
    for (const Expr* part : parts)
        result = result ? makeBinary(Expr::Kind::And, std::move(result), part->clone()) : part->clone();
    return result;
}

} // namespace convodesk::data::query
