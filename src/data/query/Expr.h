#pragma once

#include "jet4/Value.h"

#include <QString>
#include <memory>
#include <vector>

namespace convodesk::data::query {

// One node of a condition or column expression. Field references carry the column they were
// bound to (`column`, -1 until bound against a row layout).
struct Expr {
    enum class Kind { Field, AllFields, Literal, Compare, Like, IsNull, In, And, Or, Not };
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

    Kind kind = Kind::Literal;
    Op op = Op::Equal;
    bool negated = false;         // Like / IsNull / In: "not like", "is not null", "not in"
    QString qualifier;            // Field / AllFields: table or alias, may be empty
    QString name;                 // Field: the field name
    jet4::Value value;            // Literal
    int column = -1;              // Field: bound column
    bool accessWildcards = false; // Like: '*' and '?' (stored queries) instead of '%' and '_'
    std::vector<std::unique_ptr<Expr>> children;

    std::unique_ptr<Expr> clone() const;
    QString describe() const; // the field name as written, for messages
};

using ExprPtr = std::unique_ptr<Expr>;

ExprPtr makeBinary(Expr::Kind kind, ExprPtr left, ExprPtr right);
// Splits a condition into the parts joined by "and" (the node itself when it is no "and").
void collectConjuncts(const Expr* condition, std::vector<const Expr*>& out);
// Joins clones of the parts with "and"; nullptr for none.
ExprPtr joinConjuncts(const std::vector<const Expr*>& parts);

} // namespace convodesk::data::query
