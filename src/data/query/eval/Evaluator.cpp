#include "Evaluator.h"

#include "Arithmetic.h"
#include "QueryGovernor.h"
#include "ValueCompare.h"
#include "ValueConversion.h"
#include "data/DataError.h"
#include "data/query/functions/Functions.h"
#include "data/query/parse/SelectStatement.h"

namespace convodesk::data::query {
namespace {

using jet4::Value;

bool matchesName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Value truth(std::optional<bool> b) {
    return b ? Value::boolean(*b) : Value::null();
}

std::optional<bool> truthOf(const Value& v) {
    if (v.isNull())
        return std::nullopt;
    if (v.kind() == Value::Kind::Boolean)
        return v.asBoolean();
    if (const auto c = compareValues(v, Value::integer(0)))
        return *c != 0;
    return std::nullopt;
}

// "field = 'text'" (either way round, or <>) on a row that can show the field's text without
// building a string: the test an ID lookup makes on every row of a table.
enum class QuickResult { NotApplicable, True, False, Null };

// The field and the text of such a comparison; nullopt for any other node.
std::optional<TextComparison> textComparisonOf(const Expr& node) {
    if (node.kind != Expr::Kind::Compare || (node.op != Expr::Op::Equal && node.op != Expr::Op::NotEqual))
        return std::nullopt;
    const Expr* field = node.children[0].get();
    const Expr* literal = node.children[1].get();
    if (field->kind != Expr::Kind::Field)
        std::swap(field, literal);
    if (field->kind != Expr::Kind::Field || literal->kind != Expr::Kind::Literal ||
        literal->value.kind() != Value::Kind::Text)
        return std::nullopt;
    return TextComparison{field->column, &literal->value.asText(), node.op == Expr::Op::Equal};
}

QuickResult compareText(const TextComparison& test, RowValues& row) {
    QStringView text;
    switch (row.textView(test.column, text)) {
    case TextRead::NotText:
        return QuickResult::NotApplicable;
    case TextRead::Null:
        return QuickResult::Null;
    case TextRead::Text:
        break;
    }
    return textEqualsIgnoringCase(text, *test.text) == test.equal ? QuickResult::True : QuickResult::False;
}

QuickResult compareFieldToText(const Expr& node, RowValues& row) {
    const auto test = textComparisonOf(node);
    return test ? compareText(*test, row) : QuickResult::NotApplicable;
}

Value compared(Expr::Op op, std::optional<int> c) {
    if (!c)
        return Value::null();
    switch (op) {
    case Expr::Op::Equal:
        return Value::boolean(*c == 0);
    case Expr::Op::NotEqual:
        return Value::boolean(*c != 0);
    case Expr::Op::Less:
        return Value::boolean(*c < 0);
    case Expr::Op::LessEqual:
        return Value::boolean(*c <= 0);
    case Expr::Op::Greater:
        return Value::boolean(*c > 0);
    case Expr::Op::GreaterEqual:
        return Value::boolean(*c >= 0);
    }
    return Value::null();
}

} // namespace

bool BoundExpr::isAggregate(const QString& name) {
    static const char* const names[] = {"Count", "Sum",   "Avg",    "Min", "Max", "First",
                                        "Last",  "StDev", "StDevP", "Var", "VarP"};
    for (const char* aggregate : names)
        if (matchesName(name, QLatin1String(aggregate)))
            return true;
    return false;
}

void BoundExpr::missingParameter() {
    throw DataError(DataError::ParameterMissing,
                    QStringLiteral("No value given for one or more required parameters."));
}

BoundExpr::BoundExpr(const Expr& expr, const std::vector<ColumnInfo>& layout, const QString& sourceName,
                     const BindContext& context)
    : root_(expr.clone()), context_(context) {
    checkNesting(*root_);
    bind(*root_, layout, sourceName);
    rootTextComparison_ = textComparisonOf(*root_);
}

int BoundExpr::resolve(const Expr& field, const std::vector<ColumnInfo>& layout) {
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (matchesName(layout[i].name, field.name) &&
            (field.qualifier.isEmpty() || matchesName(layout[i].table, field.qualifier)))
            return static_cast<int>(i);
    return -1;
}

void BoundExpr::bind(Expr& node, const std::vector<ColumnInfo>& layout, const QString& sourceName) {
    switch (node.kind) {
    case Expr::Kind::Field:
        if (!node.bound || node.column >= static_cast<int>(layout.size()))
            node.column = resolve(node, layout);
        if (node.column < 0) {
            if (context_.unknownIsParameter)
                missingParameter();
            throw DataError::noSuchField(node.describe(), sourceName);
        }
        break;
    case Expr::Kind::Parameter:
        missingParameter();
    case Expr::Kind::AllFields:
        throw DataError(DataError::SyntaxError,
                        QStringLiteral("'%1' cannot be used in an expression.").arg(node.toText()));
    case Expr::Kind::Call: {
        const int count = static_cast<int>(node.children.size());
        if (isAggregate(node.name))
            throw DataError(
                DataError::MisplacedAggregate,
                QStringLiteral("Cannot have an aggregate function in this place (%1).").arg(node.toText()));
        if (matchesName(node.name, QStringLiteral("IIf"))) {
            if (count != 3)
                throw DataError(DataError::SyntaxError,
                                QStringLiteral("Wrong number of arguments used with function in query "
                                               "expression '%1'.")
                                    .arg(node.toText()));
        } else if (matchesName(node.name, QStringLiteral("Switch"))) {
            if (count == 0 || count % 2 != 0)
                throw DataError(DataError::SyntaxError,
                                QStringLiteral("Wrong number of arguments used with function in query "
                                               "expression '%1'.")
                                    .arg(node.toText()));
        } else {
            const FunctionInfo* function = findFunction(node.name);
            if (!function)
                throw DataError(DataError::UndefinedFunction,
                                QStringLiteral("Undefined function '%1' in expression.").arg(node.name));
            if (count < function->minArguments || count > function->maxArguments || node.countAll)
                throw DataError(DataError::SyntaxError,
                                QStringLiteral("Wrong number of arguments used with function in query "
                                               "expression '%1'.")
                                    .arg(node.toText()));
        }
        break;
    }
    case Expr::Kind::InSelect:
    case Expr::Kind::Exists:
    case Expr::Kind::ScalarSelect:
        if (!context_.subqueries || !node.subquery)
            throw DataError(DataError::UnsupportedQuery,
                            QStringLiteral("A subquery cannot be used in this place."));
        if (auto outer = context_.subqueries->outerFields(*node.subquery, layout); !outer.empty())
            outerFields_[&node] = std::move(outer);
        break;
    default:
        break;
    }
    for (auto& child : node.children)
        bind(*child, layout, sourceName);
    if (node.kind == Expr::Kind::Like && node.children[1]->kind == Expr::Kind::Literal &&
        node.children[1]->value.kind() == Value::Kind::Text)
        patterns_.insert(&node, LikePattern(node.children[1]->value.asText()));
}

Value BoundExpr::evaluate(RowValues& row) const {
    QueryGovernor::tick();
    return eval(*root_, row);
}

bool BoundExpr::passes(RowValues& row) const {
    QueryGovernor::tick();
    if (rootTextComparison_) {
        if (const QuickResult quick = compareText(*rootTextComparison_, row);
            quick != QuickResult::NotApplicable)
            return quick == QuickResult::True;
    }
    return truthOf(eval(*root_, row)).value_or(false);
}

Value BoundExpr::evalLike(const Expr& node, RowValues& row) const {
    const auto it = patterns_.constFind(&node);
    if (const Expr& field = *node.children[0];
        field.kind == Expr::Kind::Field && it != patterns_.constEnd()) {
        // A stored text column is matched without building its string.
        QStringView view;
        const TextRead read = row.textView(field.column, view);
        if (read == TextRead::Null)
            return Value::null();
        if (read == TextRead::Text)
            return Value::boolean(it->matches(view) != node.negated);
    }
    const Value subject = eval(*node.children[0], row);
    if (subject.isNull())
        return Value::null();
    const QString text = convert::toText(subject);
    bool result = false;
    if (it != patterns_.constEnd()) {
        result = it->matches(text);
    } else {
        const Value pattern = eval(*node.children[1], row);
        if (pattern.isNull())
            return Value::null();
        result = LikePattern(convert::toText(pattern)).matches(text);
    }
    return Value::boolean(result != node.negated);
}

Value BoundExpr::evalCall(const Expr& node, RowValues& row) const {
    if (matchesName(node.name, QStringLiteral("IIf"))) {
        const bool condition = truthOf(eval(*node.children[0], row)).value_or(false);
        return eval(*node.children[condition ? 1 : 2], row);
    }
    if (matchesName(node.name, QStringLiteral("Switch"))) {
        for (std::size_t i = 0; i + 1 < node.children.size(); i += 2)
            if (truthOf(eval(*node.children[i], row)).value_or(false))
                return eval(*node.children[i + 1], row);
        return Value::null();
    }
    std::vector<Value> arguments;
    arguments.reserve(node.children.size());
    for (const auto& child : node.children)
        arguments.push_back(eval(*child, row));
    return findFunction(node.name)->call(arguments);
}

// A correlated subquery runs once for each set of outer values it meets.
BoundExpr::SubqueryResult& BoundExpr::subqueryResult(const Expr& node, RowValues& row) const {
    const auto outer = outerFields_.constFind(&node);
    QString key;
    QHash<const Expr*, Value> values;
    if (outer != outerFields_.constEnd()) {
        for (const OuterField& field : *outer) {
            const Value value = row.value(field.column);
            key += matchKey(value) + QChar(0x1F);
            values.insert(field.node, value);
        }
    }
    SubqueryResult& result = subqueries_[&node][key];
    if (!result.ready) {
        if (values.isEmpty()) {
            result.rows = context_.subqueries->runSubquery(*node.subquery);
        } else {
            const auto statement = withOuterValues(*node.subquery, values);
            result.rows = context_.subqueries->runSubquery(*statement);
        }
        if (node.kind == Expr::Kind::Exists && result.rows.rows.size() > 1)
            result.rows.rows.resize(1); // only whether there is a row counts
        if (node.kind == Expr::Kind::InSelect) {
            for (const auto& r : result.rows.rows) {
                if (r.empty() || r[0].isNull())
                    result.hasNull = true;
                else
                    result.keys.insert(matchKey(r[0]));
            }
            result.rows.rows.clear();
        }
        result.ready = true;
    }
    return result;
}

Value BoundExpr::evalSubquery(const Expr& node, RowValues& row) const {
    const SubqueryResult& result = subqueryResult(node, row);
    switch (node.kind) {
    case Expr::Kind::Exists:
        return Value::boolean(!result.rows.rows.empty());
    case Expr::Kind::ScalarSelect:
        if (result.rows.rows.size() > 1)
            throw DataError(DataError::SubqueryRows,
                            QStringLiteral("At most one record can be returned by this subquery."));
        return result.rows.rows.empty() || result.rows.rows[0].empty() ? Value::null()
                                                                       : result.rows.rows[0][0];
    default: {
        const Value subject = eval(*node.children[0], row);
        if (subject.isNull())
            return Value::null();
        if (result.keys.contains(matchKey(subject)))
            return Value::boolean(!node.negated);
        return result.hasNull ? Value::null() : Value::boolean(node.negated);
    }
    }
}

Value BoundExpr::eval(const Expr& node, RowValues& row) const {
    switch (node.kind) {
    case Expr::Kind::Field:
        return row.value(node.column);
    case Expr::Kind::Literal:
        return node.value;
    case Expr::Kind::AllFields:
    case Expr::Kind::Parameter:
        return Value::null();
    case Expr::Kind::Compare: {
        switch (compareFieldToText(node, row)) {
        case QuickResult::True:
            return Value::boolean(true);
        case QuickResult::False:
            return Value::boolean(false);
        case QuickResult::Null:
            return Value::null();
        case QuickResult::NotApplicable:
            break;
        }
        const Value left = eval(*node.children[0], row);
        const Value right = eval(*node.children[1], row);
        const bool equality = node.op == Expr::Op::Equal || node.op == Expr::Op::NotEqual;
        return compared(node.op, equality ? compareValues(left, right) : orderValues(left, right));
    }
    case Expr::Kind::Like:
        return evalLike(node, row);
    case Expr::Kind::In: {
        const Value subject = eval(*node.children[0], row);
        if (subject.isNull())
            return Value::null();
        bool unknown = false;
        for (std::size_t i = 1; i < node.children.size(); ++i) {
            const auto c = compareValues(subject, eval(*node.children[i], row));
            if (c == 0)
                return Value::boolean(!node.negated);
            unknown = unknown || !c;
        }
        return unknown ? Value::null() : Value::boolean(node.negated);
    }
    case Expr::Kind::Between: {
        const Value subject = eval(*node.children[0], row);
        Value low = eval(*node.children[1], row);
        Value high = eval(*node.children[2], row);
        if (const auto order = orderValues(low, high); order && *order > 0)
            std::swap(low, high);
        const auto a = orderValues(subject, low);
        const auto b = orderValues(subject, high);
        if (!a || !b)
            return Value::null();
        return Value::boolean((*a >= 0 && *b <= 0) != node.negated);
    }
    case Expr::Kind::IsNull:
        return Value::boolean(eval(*node.children[0], row).isNull() != node.negated);
    case Expr::Kind::Not: {
        const auto b = truthOf(eval(*node.children[0], row));
        return truth(b ? std::optional<bool>(!*b) : std::nullopt);
    }
    case Expr::Kind::And: {
        bool unknown = false;
        for (const auto& child : node.children) {
            const auto b = truthOf(eval(*child, row));
            if (b == false)
                return Value::boolean(false);
            unknown = unknown || !b;
        }
        return unknown ? Value::null() : Value::boolean(true);
    }
    case Expr::Kind::Or: {
        bool unknown = false;
        for (const auto& child : node.children) {
            const auto b = truthOf(eval(*child, row));
            if (b == true)
                return Value::boolean(true);
            unknown = unknown || !b;
        }
        return unknown ? Value::null() : Value::boolean(false);
    }
    case Expr::Kind::Arithmetic:
        return arithmetic(node.arithmetic, eval(*node.children[0], row), eval(*node.children[1], row));
    case Expr::Kind::Negate:
        return negate(eval(*node.children[0], row));
    case Expr::Kind::Call:
        return evalCall(node, row);
    case Expr::Kind::InSelect:
    case Expr::Kind::Exists:
    case Expr::Kind::ScalarSelect:
        return evalSubquery(node, row);
    }
    return Value::null();
}

} // namespace convodesk::data::query
