#include "Parser.h"

#include "data/query/eval/DateParts.h"

#include <utility>

namespace convodesk::data::query {
namespace {

const char* const reservedWords[] = {
    "select",  "from",        "where",  "order",    "by",   "and",   "or",    "not",       "like",  "is",
    "null",    "asc",         "desc",   "distinct", "true", "false", "group", "having",    "union", "all",
    "in",      "between",     "join",   "inner",    "left", "right", "outer", "on",        "as",    "top",
    "percent", "distinctrow", "exists", "mod",      "yes",  "no",    "off",   "parameters"};

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
    case Token::Kind::Date:
        return QStringLiteral("'#%1#'").arg(token.text);
    default:
        return QStringLiteral("'%1'").arg(token.text);
    }
}

bool sameWord(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// Left-to-right chain of one binary operator level.
template <typename Next, typename Match> ExprPtr chain(Next next, Match match) {
    ExprPtr left = next();
    Expr::Arith op;
    while (match(op)) {
        ExprPtr node = makeBinary(Expr::Kind::Arithmetic, std::move(left), next());
        node->arithmetic = op;
        left = std::move(node);
    }
    return left;
}

} // namespace

Parser::Nesting::Nesting(Parser& parser) : parser_(parser) {
    if (++parser_.depth_ > kMaximumNesting) {
        --parser_.depth_;
        throwTooComplex();
    }
}

Parser::Parser(const QString& text) : tokens_(tokenize(text)) {}

SelectStatement Parser::parseSelect(const QString& text, const QString& storedName) {
    Parser parser(text);
    parser.storedName_ = storedName;
    return parser.statement();
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
    return token.kind == Token::Kind::Word && sameWord(token.text, keyword);
}

bool Parser::atSymbol(const char* symbol, int ahead) const {
    return peek(ahead).kind == Token::Kind::Symbol && peek(ahead).text == QLatin1String(symbol);
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

void Parser::expectSymbol(const char* symbol) {
    if (!acceptSymbol(symbol))
        fail(QStringLiteral("'%1'").arg(QLatin1String(symbol)));
}

void Parser::expectEnd() {
    if (peek().kind != Token::Kind::End)
        fail(QStringLiteral("the end of the text"));
}

void Parser::fail(const QString& expected) const {
    throw SyntaxFailure{
        peek().position, QStringLiteral("expected %1, found %2").arg(expected, shown(peek())), {}};
}

SelectStatement Parser::statement() {
    bool parameters = false;
    if (acceptWord("parameters")) {
        // "PARAMETERS name type, ...;": the query needs values this program is never given.
        parameters = true;
        while (peek().kind != Token::Kind::End && !acceptSymbol(";"))
            ++at_;
    }
    SelectStatement result = unionOrSelect();
    result.needsParameters = parameters;
    acceptSymbol(";");
    expectEnd();
    return result;
}

// SELECT ... [UNION [ALL] SELECT ...] [ORDER BY ...]
SelectStatement Parser::unionOrSelect() {
    SelectStatement first = selectCore();
    SelectStatement result;
    if (atWord("union")) {
        auto part = std::make_shared<SelectStatement>(std::move(first));
        result.unionParts.push_back(std::move(part));
        while (acceptWord("union")) {
            result.unionAll.push_back(acceptWord("all"));
            auto next = std::make_shared<SelectStatement>(selectCore());
            result.unionParts.push_back(std::move(next));
        }
    } else {
        result = std::move(first);
    }
    result.name = storedName_;
    if (acceptWord("order")) {
        expectWord("by");
        do {
            OrderItem item;
            item.expression = orExpr();
            if (acceptWord("desc"))
                item.descending = true;
            else
                acceptWord("asc");
            result.orderBy.push_back(std::move(item));
        } while (acceptSymbol(","));
    }
    return result;
}

SelectStatement Parser::selectCore() {
    Nesting nesting(*this);
    SelectStatement statement;
    statement.name = storedName_;
    expectWord("select");
    if (acceptWord("distinct"))
        statement.distinct = true;
    else if (acceptWord("distinctrow"))
        statement.distinctRow = true;
    else
        acceptWord("all");
    if (acceptWord("top")) {
        const Token& count = peek();
        bool ok = false;
        statement.top = count.kind == Token::Kind::Number ? count.text.toLongLong(&ok) : 0;
        if (!ok || statement.top <= 0)
            fail(QStringLiteral("a whole number after TOP"));
        ++at_;
        statement.topPercent = acceptWord("percent");
    }
    do {
        statement.columns.push_back(selectColumn());
    } while (acceptSymbol(","));
    // Jet takes a SELECT without FROM: its outputs over one row.
    if (acceptWord("from"))
        fromClause(statement);
    if (acceptWord("where"))
        statement.where = orExpr();
    if (acceptWord("group")) {
        expectWord("by");
        do {
            statement.groupBy.push_back(orExpr());
        } while (acceptSymbol(","));
    }
    if (acceptWord("having"))
        statement.having = orExpr();
    return statement;
}

SelectStatement::Column Parser::selectColumn() {
    SelectStatement::Column column;
    if (acceptSymbol("*")) {
        column.expression = std::make_unique<Expr>();
        column.expression->kind = Expr::Kind::AllFields;
        return column;
    }
    column.expression = orExpr();
    if (acceptWord("as"))
        column.alias = objectName(QStringLiteral("a column name"));
    return column;
}

void Parser::fromClause(SelectStatement& statement) {
    do {
        joinTerm(statement);
    } while (acceptSymbol(","));
}

// A source followed by joins; returns the aliases of every table it holds.
std::vector<QString> Parser::joinTerm(SelectStatement& statement) {
    Nesting nesting(*this);
    std::vector<QString> left = sourceTerm(statement);
    while (true) {
        auto type = jet4::QueryDef::JoinType::Inner;
        if (atWord("inner") && atWord("join", 1)) {
            at_ += 2;
        } else if ((atWord("left") || atWord("right")) &&
                   (atWord("join", 1) || (atWord("outer", 1) && atWord("join", 2)))) {
            type = atWord("left") ? jet4::QueryDef::JoinType::Left : jet4::QueryDef::JoinType::Right;
            at_ += atWord("outer", 1) ? 3 : 2;
        } else if (acceptWord("join")) {
        } else {
            return left;
        }
        std::vector<QString> right = sourceTerm(statement);
        expectWord("on");
        SelectStatement::Join join;
        join.type = type;
        join.on = orExpr();
        // The two tables the join stands between: the ones its condition names on each side.
        auto named = [&](const std::vector<QString>& side) -> QString {
            QString found;
            forEachNode(static_cast<const Expr&>(*join.on), [&](const Expr& node) {
                if (!found.isEmpty() || node.kind != Expr::Kind::Field)
                    return;
                for (const QString& table : side)
                    if (table.compare(node.qualifier, Qt::CaseInsensitive) == 0)
                        found = table;
            });
            return found;
        };
        join.left = named(left);
        join.right = named(right);
        if (join.left.isEmpty())
            join.left = left.back();
        if (join.right.isEmpty())
            join.right = right.front();
        statement.joins.push_back(std::move(join));
        left.insert(left.end(), right.begin(), right.end());
    }
}

std::vector<QString> Parser::sourceTerm(SelectStatement& statement) {
    if (atSymbol("(") && atWord("select", 1)) {
        Nesting nesting(*this);
        ++at_;
        auto derived = std::make_shared<SelectStatement>(unionOrSelect());
        expectSymbol(")");
        return derivedTable(statement, std::move(derived));
    }
    // "[SELECT ...]. AS x": the same, as older designers write it.
    if (peek().kind == Token::Kind::Name && atSymbol(".", 1) && isSelectText(peek().text)) {
        Nesting nesting(*this);
        Parser inner(peek().text);
        inner.depth_ = depth_;
        inner.storedName_ = storedName_;
        auto derived = std::make_shared<SelectStatement>(inner.unionOrSelect());
        inner.acceptSymbol(";");
        inner.expectEnd();
        at_ += 2;
        return derivedTable(statement, std::move(derived));
    }
    if (atSymbol("(")) {
        ++at_;
        std::vector<QString> inner = joinTerm(statement);
        expectSymbol(")");
        return inner;
    }
    SelectStatement::Table table;
    table.name = objectName(QStringLiteral("a table or query name"));
    if (acceptWord("as") || (peek().kind == Token::Kind::Name) ||
        (peek().kind == Token::Kind::Word && !isReserved(peek().text)))
        table.alias = objectName(QStringLiteral("an alias"));
    statement.tables.push_back(table);
    return {table.alias.isEmpty() ? table.name : table.alias};
}

std::vector<QString> Parser::derivedTable(SelectStatement& statement,
                                          std::shared_ptr<const SelectStatement> derived) {
    acceptWord("as");
    SelectStatement::Table table;
    table.name = objectName(QStringLiteral("the derived table's alias"));
    table.alias = table.name;
    table.derived = std::move(derived);
    statement.tables.push_back(table);
    return {table.alias};
}

bool Parser::isSelectText(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1String("select"), Qt::CaseInsensitive) &&
           (trimmed.size() == 6 || trimmed[6].isSpace());
}

QString Parser::objectName(const QString& what) {
    const Token& token = peek();
    if (token.kind == Token::Kind::Name || (token.kind == Token::Kind::Word && !isReserved(token.text))) {
        ++at_;
        return token.text;
    }
    fail(what);
}

std::shared_ptr<const SelectStatement> Parser::subquery() {
    Nesting nesting(*this);
    auto inner = std::make_shared<SelectStatement>(selectCore());
    inner->name.clear();       // as subqueries in a stored query's expressions
    if (acceptWord("order")) { // an order inside a subquery changes nothing it is used for
        expectWord("by");
        do {
            orExpr();
            if (!acceptWord("desc"))
                acceptWord("asc");
        } while (acceptSymbol(","));
    }
    return inner;
}

ExprPtr Parser::orExpr() {
    Nesting nesting(*this);
    ExprPtr first = andExpr();
    if (!atWord("or"))
        return first;
    std::vector<ExprPtr> parts;
    parts.push_back(std::move(first));
    while (acceptWord("or"))
        parts.push_back(andExpr());
    return makeNode(Expr::Kind::Or, std::move(parts));
}

ExprPtr Parser::andExpr() {
    ExprPtr first = notExpr();
    if (!atWord("and"))
        return first;
    std::vector<ExprPtr> parts;
    parts.push_back(std::move(first));
    while (acceptWord("and"))
        parts.push_back(notExpr());
    return makeNode(Expr::Kind::And, std::move(parts));
}

ExprPtr Parser::notExpr() {
    if (acceptWord("not")) {
        Nesting nesting(*this);
        std::vector<ExprPtr> inner;
        inner.push_back(notExpr());
        return makeNode(Expr::Kind::Not, std::move(inner));
    }
    return comparison();
}

ExprPtr Parser::comparison() {
    ExprPtr left = concatenation();
    struct OpText {
        const char* text;
        Expr::Op op;
    };
    static const OpText ops[] = {{"=", Expr::Op::Equal},      {"<>", Expr::Op::NotEqual},
                                 {"<=", Expr::Op::LessEqual}, {">=", Expr::Op::GreaterEqual},
                                 {"<", Expr::Op::Less},       {">", Expr::Op::Greater}};
    for (const OpText& candidate : ops) {
        if (acceptSymbol(candidate.text)) {
            ExprPtr node = makeBinary(Expr::Kind::Compare, std::move(left), concatenation());
            node->op = candidate.op;
            return node;
        }
    }
    const bool negated = atWord("not") && (atWord("like", 1) || atWord("in", 1) || atWord("between", 1));
    if (negated)
        ++at_;
    if (acceptWord("like")) {
        ExprPtr node = makeBinary(Expr::Kind::Like, std::move(left), concatenation());
        node->negated = negated;
        return node;
    }
    if (acceptWord("between")) {
        std::vector<ExprPtr> parts;
        parts.push_back(std::move(left));
        parts.push_back(concatenation());
        expectWord("and");
        parts.push_back(concatenation());
        ExprPtr node = makeNode(Expr::Kind::Between, std::move(parts));
        node->negated = negated;
        return node;
    }
    if (acceptWord("in")) {
        expectSymbol("(");
        std::vector<ExprPtr> parts;
        parts.push_back(std::move(left));
        if (atWord("select")) {
            ExprPtr node = makeNode(Expr::Kind::InSelect, std::move(parts));
            node->subquery = subquery();
            node->negated = negated;
            expectSymbol(")");
            return node;
        }
        do {
            parts.push_back(concatenation());
        } while (acceptSymbol(","));
        expectSymbol(")");
        ExprPtr node = makeNode(Expr::Kind::In, std::move(parts));
        node->negated = negated;
        return node;
    }
    if (acceptWord("is")) {
        const bool isNot = acceptWord("not");
        expectWord("null");
        std::vector<ExprPtr> parts;
        parts.push_back(std::move(left));
        ExprPtr node = makeNode(Expr::Kind::IsNull, std::move(parts));
        node->negated = isNot;
        return node;
    }
    return left;
}

ExprPtr Parser::concatenation() {
    return chain([this] { return additive(); },
                 [this](Expr::Arith& op) {
                     op = Expr::Arith::Concat;
                     return acceptSymbol("&");
                 });
}

ExprPtr Parser::additive() {
    return chain([this] { return modulo(); },
                 [this](Expr::Arith& op) {
                     if (acceptSymbol("+")) {
                         op = Expr::Arith::Add;
                         return true;
                     }
                     op = Expr::Arith::Subtract;
                     return acceptSymbol("-");
                 });
}

ExprPtr Parser::modulo() {
    return chain([this] { return integerDivision(); },
                 [this](Expr::Arith& op) {
                     op = Expr::Arith::Modulo;
                     return acceptWord("mod");
                 });
}

ExprPtr Parser::integerDivision() {
    return chain([this] { return multiplicative(); },
                 [this](Expr::Arith& op) {
                     op = Expr::Arith::IntDivide;
                     return acceptSymbol("\\");
                 });
}

ExprPtr Parser::multiplicative() {
    return chain([this] { return unary(); },
                 [this](Expr::Arith& op) {
                     if (acceptSymbol("*")) {
                         op = Expr::Arith::Multiply;
                         return true;
                     }
                     op = Expr::Arith::Divide;
                     return acceptSymbol("/");
                 });
}

ExprPtr Parser::unary() {
    return signedOperand(&Parser::power);
}

ExprPtr Parser::signedOperand(ExprPtr (Parser::*operand)()) {
    if (!atSymbol("-") && !atSymbol("+"))
        return (this->*operand)();
    const bool minus = atSymbol("-");
    ++at_;
    Nesting nesting(*this);
    ExprPtr inner = signedOperand(operand);
    if (!minus)
        return inner;
    std::vector<ExprPtr> parts;
    parts.push_back(std::move(inner));
    return makeNode(Expr::Kind::Negate, std::move(parts));
}

// An exponent may carry its own sign: 2 ^ -1.
ExprPtr Parser::power() {
    bool base = true;
    return chain(
        [this, &base] { return std::exchange(base, false) ? primary() : signedOperand(&Parser::primary); },
        [this](Expr::Arith& op) {
            op = Expr::Arith::Power;
            return acceptSymbol("^");
        });
}

ExprPtr Parser::primary() {
    const Token& token = peek();
    if (atSymbol("(")) {
        ++at_;
        ExprPtr inner;
        if (atWord("select")) {
            inner = makeNode(Expr::Kind::ScalarSelect, {});
            inner->subquery = subquery();
        } else {
            inner = orExpr();
        }
        expectSymbol(")");
        return inner;
    }
    switch (token.kind) {
    case Token::Kind::Text:
        ++at_;
        return makeLiteral(jet4::Value::text(token.text));
    case Token::Kind::Number: {
        ++at_;
        bool ok = false;
        const qlonglong whole = token.text.toLongLong(&ok);
        if (ok)
            return makeLiteral(jet4::Value::integer(whole));
        const double real = token.text.toDouble(&ok);
        if (!ok)
            throw SyntaxFailure{token.position, QStringLiteral("'%1' is no number").arg(token.text), {}};
        return makeLiteral(jet4::Value::real(real));
    }
    case Token::Kind::Date: {
        const auto days = DateParts::parse(token.text);
        if (!days)
            throw SyntaxFailure{token.position, QStringLiteral("'#%1#' is no date").arg(token.text), {}};
        ++at_;
        return makeLiteral(jet4::Value::dateTime(*days));
    }
    default:
        break;
    }
    if (acceptWord("null"))
        return makeLiteral(jet4::Value::null());
    for (const char* yes : {"true", "yes", "on"})
        if (atWord(yes) && !atSymbol("(", 1) && !atSymbol(".", 1)) {
            ++at_;
            return makeLiteral(jet4::Value::boolean(true));
        }
    for (const char* no : {"false", "no", "off"})
        if (atWord(no) && !atSymbol("(", 1) && !atSymbol(".", 1)) {
            ++at_;
            return makeLiteral(jet4::Value::boolean(false));
        }
    if (atWord("exists")) {
        ++at_;
        expectSymbol("(");
        ExprPtr node = makeNode(Expr::Kind::Exists, {});
        node->subquery = subquery();
        expectSymbol(")");
        return node;
    }
    // Left, Right and Asc are keywords and functions.
    const bool callable =
        token.kind == Token::Kind::Name ||
        (token.kind == Token::Kind::Word && (!isReserved(token.text) || sameWord(token.text, "left") ||
                                             sameWord(token.text, "right") || sameWord(token.text, "asc")));
    if (callable && atSymbol("(", 1)) {
        at_ += 2;
        return call(token.text);
    }
    return fieldReference();
}

ExprPtr Parser::call(const QString& name) {
    Nesting nesting(*this);
    std::vector<ExprPtr> args;
    bool countAll = false;
    if (acceptSymbol("*")) {
        countAll = true;
    } else if (!atSymbol(")")) {
        do {
            args.push_back(orExpr());
        } while (acceptSymbol(","));
    }
    expectSymbol(")");
    ExprPtr node = makeNode(Expr::Kind::Call, std::move(args));
    node->name = name;
    node->countAll = countAll;
    return node;
}

ExprPtr Parser::fieldReference() {
    auto node = std::make_unique<Expr>();
    node->kind = Expr::Kind::Field;
    QStringList parts;
    bool bang = false;
    parts.push_back(objectName(QStringLiteral("a field name")));
    while (atSymbol(".") || atSymbol("!")) {
        bang = bang || atSymbol("!");
        ++at_;
        if (acceptSymbol("*")) {
            node->kind = Expr::Kind::AllFields;
            node->qualifier = parts.back();
            return node;
        }
        parts.push_back(objectName(QStringLiteral("a field name")));
    }
    const QString& head = parts.front();
    if (bang && (sameWord(head, "forms") || sameWord(head, "reports") || sameWord(head, "screen"))) {
        node->kind = Expr::Kind::Parameter;
        node->name = parts.join(QLatin1Char('!'));
        return node;
    }
    node->name = parts.back();
    if (parts.size() >= 2)
        node->qualifier = parts[parts.size() - 2];
    return node;
}

} // namespace convodesk::data::query
