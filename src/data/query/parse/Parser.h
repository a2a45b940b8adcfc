#pragma once

#include "Expr.h"
#include "Lexer.h"
#include "SelectStatement.h"

#include <QString>
#include <vector>

namespace convodesk::data::query {

// Reads query texts and the expressions stored queries keep. Throws SyntaxFailure for text it
// cannot read and DataError(TooComplex) for text nested deeper than kMaximumNesting.
class Parser {
public:
    // `storedName`: the stored query the text belongs to, given to it, its UNION parts and its
    // derived tables (so names no source has are parameters there, as in any stored query).
    static SelectStatement parseSelect(const QString& text, const QString& storedName = {});
    // A condition or column expression as a stored query keeps it, e.g. "(((T.a)>3))".
    static ExprPtr parseExpression(const QString& text);

private:
    explicit Parser(const QString& text);

    // Counts one level of nesting while a recursive rule runs.
    class Nesting {
    public:
        explicit Nesting(Parser& parser);
        ~Nesting() { --parser_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& parser_;
    };

    SelectStatement statement();
    SelectStatement unionOrSelect();
    SelectStatement selectCore();
    void fromClause(SelectStatement& statement);
    std::vector<QString> joinTerm(SelectStatement& statement);
    std::vector<QString> sourceTerm(SelectStatement& statement);
    std::vector<QString> derivedTable(SelectStatement& statement,
                                      std::shared_ptr<const SelectStatement> derived);
    static bool isSelectText(const QString& text);
    SelectStatement::Column selectColumn();
    std::shared_ptr<const SelectStatement> subquery();

    ExprPtr orExpr();
    ExprPtr andExpr();
    ExprPtr notExpr();
    ExprPtr comparison();
    ExprPtr concatenation();
    ExprPtr additive();
    ExprPtr modulo();
    ExprPtr integerDivision();
    ExprPtr multiplicative();
    ExprPtr unary();
    ExprPtr signedOperand(ExprPtr (Parser::*operand)());
    ExprPtr power();
    ExprPtr primary();
    ExprPtr call(const QString& name);
    ExprPtr fieldReference();
    QString objectName(const QString& what);

    const Token& peek(int ahead = 0) const;
    bool atWord(const char* keyword, int ahead = 0) const;
    bool atSymbol(const char* symbol, int ahead = 0) const;
    bool acceptWord(const char* keyword);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* keyword);
    void expectSymbol(const char* symbol);
    void expectEnd();
    [[noreturn]] void fail(const QString& expected) const;

    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    int depth_ = 0;
    QString storedName_;
};

} // namespace convodesk::data::query
