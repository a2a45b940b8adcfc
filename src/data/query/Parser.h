#pragma once

#include "Expr.h"
#include "Lexer.h"

#include <QString>
#include <vector>

namespace convodesk::data::query {

struct OrderItem {
    ExprPtr expression;
    bool descending = false;
};

struct SelectStatement {
    bool distinct = false;
    std::vector<ExprPtr> columns; // "*" is one AllFields node
    QString source;
    ExprPtr where;
    std::vector<OrderItem> orderBy;
};

// Reads query texts and the expressions stored queries keep. Throws SyntaxFailure.
class Parser {
public:
    static SelectStatement parseSelect(const QString& text);
    // A condition or column expression as a stored query keeps it, e.g. "(((T.a)>3))".
    static ExprPtr parseExpression(const QString& text);

private:
    explicit Parser(const QString& text);
    SelectStatement select();
    ExprPtr orExpr();
    ExprPtr andExpr();
    ExprPtr notExpr();
    ExprPtr predicate();
    ExprPtr primary();
    ExprPtr fieldReference();
    ExprPtr selectColumn();
    QString sourceName();

    const Token& peek(int ahead = 0) const;
    bool atWord(const char* keyword, int ahead = 0) const;
    bool atSymbol(const char* symbol) const;
    bool acceptWord(const char* keyword);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* keyword);
    void expectEnd();
    [[noreturn]] void fail(const QString& expected) const;

    std::vector<Token> tokens_;
    std::size_t at_ = 0;
};

} // namespace convodesk::data::query
