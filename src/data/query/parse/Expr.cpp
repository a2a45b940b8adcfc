#include "Expr.h"

#include "data/DataError.h"

namespace convodesk::data::query {
namespace {

QString literalText(const jet4::Value& value) {
    using jet4::Value;
    switch (value.kind()) {
    case Value::Kind::Null:
        return QStringLiteral("Null");
    case Value::Kind::Text: {
        QString text = value.asText();
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    case Value::Kind::Integer:
        return QString::number(value.asInteger());
    case Value::Kind::Double:
        return QString::number(value.asDouble(), 'g', 15);
    case Value::Kind::Boolean:
        return value.asBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case Value::Kind::DateTime:
        return QStringLiteral("#%1#").arg(value.asDateTime(), 0, 'g', 15);
    default:
        return QStringLiteral("?");
    }
}

const char* opText(Expr::Op op) {
    switch (op) {
    case Expr::Op::Equal:
        return "=";
    case Expr::Op::NotEqual:
        return "<>";
    case Expr::Op::Less:
        return "<";
    case Expr::Op::LessEqual:
        return "<=";
    case Expr::Op::Greater:
        return ">";
    case Expr::Op::GreaterEqual:
        return ">=";
    }
    return "?";
}

const char* arithText(Expr::Arith op) {
    switch (op) {
    case Expr::Arith::Concat:
        return " & ";
    case Expr::Arith::Add:
        return "+";
    case Expr::Arith::Subtract:
        return "-";
    case Expr::Arith::Multiply:
        return "*";
    case Expr::Arith::Divide:
        return "/";
    case Expr::Arith::IntDivide:
        return "\\";
    case Expr::Arith::Modulo:
        return " Mod ";
    case Expr::Arith::Power:
        return "^";
    }
    return "?";
}

QString joined(const Expr& node, std::size_t from, const QString& separator) {
    QString text;
    for (std::size_t i = from; i < node.children.size(); ++i) {
        if (i > from)
            text += separator;
        text += node.children[i]->toText();
    }
    return text;
}

} // namespace

std::unique_ptr<Expr> Expr::clone() const {
    auto copy = std::make_unique<Expr>();
    copy->kind = kind;
    copy->op = op;
    copy->arithmetic = arithmetic;
    copy->negated = negated;
    copy->countAll = countAll;
    copy->qualifier = qualifier;
    copy->name = name;
    copy->value = value;
    copy->column = column;
    copy->height = height;
    copy->bound = bound;
    copy->subquery = subquery;
    copy->children.reserve(children.size());
    for (const auto& child : children)
        copy->children.push_back(child->clone());
    return copy;
}

QString Expr::describe() const {
    return qualifier.isEmpty() ? name : qualifier + QLatin1Char('.') + name;
}

QString Expr::toText() const {
    const QString no = negated ? QStringLiteral("Not ") : QString();
    switch (kind) {
    case Kind::Field:
    case Kind::Parameter:
        return describe();
    case Kind::AllFields:
        return qualifier.isEmpty() ? QStringLiteral("*") : qualifier + QStringLiteral(".*");
    case Kind::Literal:
        return literalText(value);
    case Kind::Compare:
        return children[0]->toText() + QLatin1String(opText(op)) + children[1]->toText();
    case Kind::Like:
        return children[0]->toText() + QLatin1Char(' ') + no + QStringLiteral("Like ") +
               children[1]->toText();
    case Kind::IsNull:
        return children[0]->toText() + QStringLiteral(" Is ") + no + QStringLiteral("Null");
    case Kind::In:
        return children[0]->toText() + QLatin1Char(' ') + no + QStringLiteral("In (") +
               joined(*this, 1, QStringLiteral(",")) + QLatin1Char(')');
    case Kind::Between:
        return children[0]->toText() + QLatin1Char(' ') + no + QStringLiteral("Between ") +
               children[1]->toText() + QStringLiteral(" And ") + children[2]->toText();
    case Kind::And:
        return QLatin1Char('(') + joined(*this, 0, QStringLiteral(" And ")) + QLatin1Char(')');
    case Kind::Or:
        return QLatin1Char('(') + joined(*this, 0, QStringLiteral(" Or ")) + QLatin1Char(')');
    case Kind::Not:
        return QStringLiteral("Not ") + children[0]->toText();
    case Kind::Arithmetic:
        return QLatin1Char('(') + children[0]->toText() + QLatin1String(arithText(arithmetic)) +
               children[1]->toText() + QLatin1Char(')');
    case Kind::Negate:
        return QLatin1Char('-') + children[0]->toText();
    case Kind::Call:
        return name + QLatin1Char('(') +
               (countAll ? QStringLiteral("*") : joined(*this, 0, QStringLiteral(","))) + QLatin1Char(')');
    case Kind::InSelect:
        return children[0]->toText() + QLatin1Char(' ') + no + QStringLiteral("In (SELECT ...)");
    case Kind::Exists:
        return QStringLiteral("Exists (SELECT ...)");
    case Kind::ScalarSelect:
        return QStringLiteral("(SELECT ...)");
    }
    return {};
}

void Expr::updateHeight() {
    height = 1;
    for (const auto& child : children)
        height = std::max(height, child->height + 1);
}

void throwTooComplex() {
    throw DataError(DataError::TooComplex,
                    QStringLiteral("Query is too complex: expressions or stored queries are nested more "
                                   "than %1 levels deep.")
                        .arg(kMaximumNesting));
}

void checkNesting(const Expr& node) {
    if (node.height > kMaximumNesting)
        throwTooComplex();
}

ExprPtr makeNode(Expr::Kind kind, std::vector<ExprPtr> children) {
    auto node = std::make_unique<Expr>();
    node->kind = kind;
    node->children = std::move(children);
    node->updateHeight();
    checkNesting(*node);
    return node;
}

ExprPtr makeBinary(Expr::Kind kind, ExprPtr left, ExprPtr right) {
    std::vector<ExprPtr> children;
    children.push_back(std::move(left));
    children.push_back(std::move(right));
    return makeNode(kind, std::move(children));
}

ExprPtr makeLiteral(jet4::Value value) {
    auto node = std::make_unique<Expr>();
    node->kind = Expr::Kind::Literal;
    node->value = std::move(value);
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
    if (parts.empty())
        return nullptr;
    if (parts.size() == 1)
        return parts.front()->clone();
    // One "and" over all parts: no deeper than the deepest part.
    std::vector<ExprPtr> children;
    children.reserve(parts.size());
    for (const Expr* part : parts)
        children.push_back(part->clone());
    return makeNode(Expr::Kind::And, std::move(children));
}

bool sameExpression(const Expr& a, const Expr& b) {
    if (a.kind != b.kind || a.children.size() != b.children.size() || a.negated != b.negated ||
        a.countAll != b.countAll)
        return false;
    switch (a.kind) {
    case Expr::Kind::Field:
        if (a.column >= 0 && b.column >= 0)
            return a.column == b.column;
        return a.describe().compare(b.describe(), Qt::CaseInsensitive) == 0;
    case Expr::Kind::Literal:
        return a.value == b.value;
    case Expr::Kind::Compare:
        if (a.op != b.op)
            return false;
        break;
    case Expr::Kind::Arithmetic:
        if (a.arithmetic != b.arithmetic)
            return false;
        break;
    case Expr::Kind::Call:
    case Expr::Kind::Parameter:
    case Expr::Kind::AllFields:
        if (a.name.compare(b.name, Qt::CaseInsensitive) != 0 ||
            a.qualifier.compare(b.qualifier, Qt::CaseInsensitive) != 0)
            return false;
        break;
    case Expr::Kind::InSelect:
    case Expr::Kind::Exists:
    case Expr::Kind::ScalarSelect:
        if (a.subquery != b.subquery)
            return false;
        break;
    default:
        break;
    }
    for (std::size_t i = 0; i < a.children.size(); ++i)
        if (!sameExpression(*a.children[i], *b.children[i]))
            return false;
    return true;
}

} // namespace convodesk::data::query
