#include "Parser.h"

namespace convodesk::data::query {
namespace {

const char* const reservedWords[] = {"select", "from", "where", "order", "by",   "and",      "or",   "not",
                                     "like",   "is",   "null",  "asc",   "desc", "distinct", "true", "false"};

bool isReserved(const QString& word) {
    for (const char* reserved : reservedWords)
        if (word.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString shown(const Token& token) {
    switch (token.kind) {
    case Token::Kind::End:
        return QStringLiteral("the end of the text");
    case Token::Kind::Name:
        return QStringLiteral("'[%1]'").arg(token.text);
    case Token::Kind::Text:
        return QStringLiteral("a text literal");
    default:
        return QStringLiteral("'%1'").arg(token.text);
    }
}

ExprPtr literal(jet4::Value value) {
    auto node = std::make_unique<Expr>();
    node->kind = Expr::Kind::Literal;
    node->value = std::move(value);
    return node;
}

} // namespace

Parser::Parser(const QString& text) : tokens_(tokenize(text)) {}

SelectStatement Parser::parseSelect(const QString& text) {
    Parser parser(text);
    return parser.select();
}

ExprPtr Parser::parseExpression(const QString& text) {
    Parser parser(text);
    ExprPtr expr = parser.orExpr();
    parser.expectEnd();
    return expr;
}

const Token& Parser::peek(int ahead) const {
    return tokens_[std::min(at_ + ahead, tokens_.size() - 1)];
}

bool Parser::atWord(const char* keyword, int ahead) const {
    const Token& token = peek(ahead);
    return token.kind == Token::Kind::Word &&
           token.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool Parser::atSymbol(const char* symbol) const {
    return peek().kind == Token::Kind::Symbol && peek().text == QLatin1String(symbol);
}

bool Parser::acceptWord(const char* keyword) {
    if (!atWord(keyword))
        return false;
    ++at_;
    return true;
}

bool Parser::acceptSymbol(const char* symbol) {
    if (!atSymbol(symbol))
        return false;
    ++at_;
    return true;
}

void Parser::expectWord(const char* keyword) {
    if (!acceptWord(keyword))
        fail(QStringLiteral("'%1'").arg(QLatin1String(keyword)));
}

void Parser::expectEnd() {
    if (peek().kind != Token::Kind::End)
        fail(QStringLiteral("the end of the text"));
}

void Parser::fail(const QString& expected) const {
    throw SyntaxFailure{
        peek().position, QStringLiteral("expected %1, found %2").arg(expected, shown(peek())), {}};
}

SelectStatement Parser::select() {
    SelectStatement statement;
    expectWord("select");
    statement.distinct = acceptWord("distinct");
    do {
        statement.columns.push_back(selectColumn());
    } while (acceptSymbol(","));
    expectWord("from");
    statement.source = sourceName();
    if (acceptWord("where"))
        statement.where = orExpr();
    if (acceptWord("order")) {
        expectWord("by");
        do {
            OrderItem item;
            item.expression = fieldReference();
            if (acceptWord("desc"))
                item.descending = true;
            else
                acceptWord("asc");
            statement.orderBy.push_back(std::move(item));
        } while (acceptSymbol(","));
    }
    acceptSymbol(";");
    expectEnd();
    return statement;
}

ExprPtr Parser::selectColumn() {
    if (acceptSymbol("*")) {
        auto all = std::make_unique<Expr>();
        all->kind = Expr::Kind::AllFields;
        return all;
    }
    return fieldReference();
}

QString Parser::sourceName() {
    const Token& token = peek();
    if (token.kind == Token::Kind::Name || (token.kind == Token::Kind::Word && !isReserved(token.text))) {
        ++at_;
        return token.text;
    }
    fail(QStringLiteral("a table or query name"));
}

ExprPtr Parser::orExpr() {
    ExprPtr left = andExpr();
    while (acceptWord("or"))
        left = makeBinary(Expr::Kind::Or, std::move(left), andExpr());
    return left;
}

ExprPtr Parser::andExpr() {
    ExprPtr left = notExpr();
    while (acceptWord("and"))
        left = makeBinary(Expr::Kind::And, std::move(left), notExpr());
    return left;
}

ExprPtr Parser::notExpr() {
    if (acceptWord("not")) {
        auto node = std::make_unique<Expr>();
        node->kind = Expr::Kind::Not;
        node->children.push_back(notExpr());
        return node;
    }
    return predicate();
}

ExprPtr Parser::predicate() {
    ExprPtr left = primary();
    struct OpText {
        const char* text;
        Expr::Op op;
    };
    static const OpText ops[] = {{"=", Expr::Op::Equal},      {"<>", Expr::Op::NotEqual},
                                 {"<=", Expr::Op::LessEqual}, {">=", Expr::Op::GreaterEqual},
                                 {"<", Expr::Op::Less},       {">", Expr::Op::Greater}};
    for (const OpText& candidate : ops) {
        if (acceptSymbol(candidate.text)) {
            ExprPtr node = makeBinary(Expr::Kind::Compare, std::move(left), primary());
            node->op = candidate.op;
            return node;
        }
    }
    const bool negatedLike = atWord("not") && atWord("like", 1);
    if (negatedLike || atWord("like")) {
        at_ += negatedLike ? 2 : 1;
        ExprPtr node = makeBinary(Expr::Kind::Like, std::move(left), primary());
        node->negated = negatedLike;
        return node;
    }
    const bool negatedIn = atWord("not") && atWord("in", 1);
    if (negatedIn || atWord("in")) {
        at_ += negatedIn ? 2 : 1;
        auto node = std::make_unique<Expr>();
        node->kind = Expr::Kind::In;
        node->negated = negatedIn;
        node->children.push_back(std::move(left));
        if (!acceptSymbol("("))
            fail(QStringLiteral("'('"));
        if (atWord("select"))
            throw SyntaxFailure{peek().position, {}, QStringLiteral("a subquery")};
        do {
            node->children.push_back(primary());
        } while (acceptSymbol(","));
        if (!acceptSymbol(")"))
            fail(QStringLiteral("')'"));
        return node;
    }
    if (acceptWord("is")) {
        auto node = std::make_unique<Expr>();
        node->kind = Expr::Kind::IsNull;
        node->negated = acceptWord("not");
        expectWord("null");
        node->children.push_back(std::move(left));
        return node;
    }
    return left;
}

ExprPtr Parser::primary() {
    const Token& token = peek();
    if (acceptSymbol("(")) {
        if (atWord("select"))
            throw SyntaxFailure{token.position, {}, QStringLiteral("a subquery")};
        ExprPtr inner = orExpr();
        if (!acceptSymbol(")"))
            fail(QStringLiteral("')'"));
        return inner;
    }
    if (token.kind == Token::Kind::Text) {
        ++at_;
        return literal(jet4::Value::text(token.text));
    }
    if (token.kind == Token::Kind::Number) {
        ++at_;
        bool ok = false;
        const qlonglong whole = token.text.toLongLong(&ok);
        if (ok)
            return literal(jet4::Value::integer(whole));
        const double real = token.text.toDouble(&ok);
        if (!ok)
            throw SyntaxFailure{token.position, QStringLiteral("'%1' is no number").arg(token.text), {}};
        return literal(jet4::Value::real(real));
    }
    if (acceptWord("null"))
        return literal(jet4::Value::null());
    if (acceptWord("true"))
        return literal(jet4::Value::boolean(true));
    if (acceptWord("false"))
        return literal(jet4::Value::boolean(false));
    if (token.kind == Token::Kind::Symbol && token.text == QLatin1String("#"))
        throw SyntaxFailure{token.position, {}, QStringLiteral("a date literal")};
    if (token.kind == Token::Kind::Word && peek(1).kind == Token::Kind::Symbol &&
        peek(1).text == QLatin1String("(") && !isReserved(token.text))
        throw SyntaxFailure{token.position, {}, QStringLiteral("the function %1()").arg(token.text)};
    return fieldReference();
}

ExprPtr Parser::fieldReference() {
    auto node = std::make_unique<Expr>();
    node->kind = Expr::Kind::Field;
    auto takeName = [this]() -> QString {
        const Token& token = peek();
        if (token.kind == Token::Kind::Name || (token.kind == Token::Kind::Word && !isReserved(token.text))) {
            ++at_;
            return token.text;
        }
        fail(QStringLiteral("a field name"));
    };
    node->name = takeName();
    if (acceptSymbol(".")) {
        node->qualifier = node->name;
        if (acceptSymbol("*")) {
            node->kind = Expr::Kind::AllFields;
            node->name.clear();
            return node;
        }
        node->name = takeName();
    }
    return node;
}

} // namespace convodesk::data::query
