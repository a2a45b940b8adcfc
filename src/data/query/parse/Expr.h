#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <memory>
#include <vector>

namespace convodesk::data::query {

struct SelectStatement;

// One node of a condition or column expression. Field references carry the column they were
// bound to (`column`, -1 until bound against a row layout).
struct Expr {
    enum class Kind {
        Field,     // name (qualifier.name)
        AllFields, // * or table.*
        Literal,
        Compare, // children: left, right; op
        Like,    // children: subject, pattern
        IsNull,
        In,      // children: subject, then the listed values
        Between, // children: subject, low, high
        And,     // two or more children
        Or,      // two or more children
        Not,
        Arithmetic, // children: left, right; arithmetic
        Negate,
        Call,         // name(children...); name as written
        InSelect,     // children: subject; subquery
        Exists,       // subquery
        ScalarSelect, // subquery
        Parameter,    // a name the query needs a value for (Forms!..., a declared parameter)
    };
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
    enum class Arith { Concat, Add, Subtract, Multiply, Divide, IntDivide, Modulo, Power };

    Kind kind = Kind::Literal;
    Op op = Op::Equal;
    Arith arithmetic = Arith::Add;
    bool negated = false;  // Like / IsNull / In / Between / InSelect: the "not" form
    bool countAll = false; // Call: Count(*)
    QString qualifier;     // Field / AllFields: table or alias, may be empty
    QString name;          // Field: the field name; Call: the function's name
    jet4::Value value;     // Literal
    int column = -1;       // Field: bound column
    int height = 1;        // nodes on the longest path down from here
    bool bound = false;    // Field: `column` was set by the engine and stays
    std::shared_ptr<const SelectStatement> subquery;
    std::vector<std::unique_ptr<Expr>> children;

    std::unique_ptr<Expr> clone() const;
    QString describe() const; // the field name as written, for messages
    // The expression written out as Access SQL (for output names and for matching GROUP BY).
    QString toText() const;
    // Sets `height` from the children's.
    void updateHeight();
};

using ExprPtr = std::unique_ptr<Expr>;

// How deep expressions and chains of stored queries may nest: far above what anyone writes,
// far below what the stack can take.
inline constexpr int kMaximumNesting = 200;
// Throws DataError(TooComplex) when `node` is nested deeper than kMaximumNesting.
void checkNesting(const Expr& node);
[[noreturn]] void throwTooComplex();

ExprPtr makeNode(Expr::Kind kind, std::vector<ExprPtr> children);
ExprPtr makeBinary(Expr::Kind kind, ExprPtr left, ExprPtr right);
ExprPtr makeLiteral(jet4::Value value);
// Splits a condition into the parts joined by "and" (the node itself when it is no "and").
void collectConjuncts(const Expr* condition, std::vector<const Expr*>& out);
// Joins clones of the parts with "and"; nullptr for none.
ExprPtr joinConjuncts(const std::vector<const Expr*>& parts);
// Calls `visit` on the node and every node below it (not inside subqueries).
template <typename Visit> void forEachNode(const Expr& node, Visit&& visit) {
    visit(node);
    for (const auto& child : node.children)
        forEachNode(*child, visit);
}
template <typename Visit> void forEachNode(Expr& node, Visit&& visit) {
    visit(node);
    for (auto& child : node.children)
        forEachNode(*child, visit);
}

} // namespace convodesk::data::query

namespace convodesk::data::query {
// True when two expressions are the same: fields by their bound column where both are bound,
// names ignoring letter case.
bool sameExpression(const Expr& a, const Expr& b);
} // namespace convodesk::data::query
