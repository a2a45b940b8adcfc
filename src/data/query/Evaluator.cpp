#include "Evaluator.h"

#include "DataError.h"
#include "ValueCompare.h"

namespace convodesk::data::query {
namespace {

using jet4::Value;

bool matchesName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

LikePattern::Wildcards wildcardsOf(const Expr& like) {
    return like.accessWildcards ? LikePattern::Wildcards::Access : LikePattern::Wildcards::Ansi;
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

} // namespace

BoundExpr::BoundExpr(const Expr& expr, const std::vector<ColumnInfo>& layout, const QString& sourceName)
    : root_(expr.clone()) {
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
    if (node.kind == Expr::Kind::Field) {
        node.column = resolve(node, layout);
        if (node.column < 0)
            throw DataError(DataError::NoSuchField,
                            QStringLiteral("No field named '%1' in '%2'.").arg(node.describe(), sourceName));
    }
    for (auto& child : node.children)
        bind(*child, layout, sourceName);
    if (node.kind == Expr::Kind::Like && node.children[1]->kind == Expr::Kind::Literal &&
        node.children[1]->value.kind() == Value::Kind::Text)
        patterns_.insert(&node, LikePattern(node.children[1]->value.asText(), wildcardsOf(node)));
}

Value BoundExpr::evaluate(RowValues& row) const {
    return eval(*root_, row);
}

bool BoundExpr::passes(RowValues& row) const {
    if (rootTextComparison_) {
        if (const QuickResult quick = compareText(*rootTextComparison_, row);
            quick != QuickResult::NotApplicable)
            return quick == QuickResult::True;
    }
    return truthOf(eval(*root_, row)).value_or(false);
}

Value BoundExpr::eval(const Expr& node, RowValues& row) const {
    switch (node.kind) {
    case Expr::Kind::Field:
        return row.value(node.column);
    case Expr::Kind::Literal:
        return node.value;
    case Expr::Kind::AllFields:
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
        const auto c = compareValues(eval(*node.children[0], row), eval(*node.children[1], row));
        if (!c)
            return Value::null();
        switch (node.op) {
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
    case Expr::Kind::Like: {
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
        const QString text = subject.kind() == Value::Kind::Text ? subject.asText() : QString();
        bool result = false;
        if (it != patterns_.constEnd()) {
            result = it->matches(text);
        } else {
            const Value pattern = eval(*node.children[1], row);
            if (pattern.isNull() || pattern.kind() != Value::Kind::Text)
                return Value::null();
            result = LikePattern(pattern.asText(), wildcardsOf(node)).matches(text);
        }
        return Value::boolean(result != node.negated);
    }
    case Expr::Kind::In: {
        const Value subject = eval(*node.children[0], row);
        bool unknown = subject.isNull();
        for (std::size_t i = 1; i < node.children.size() && !unknown; ++i) {
            const auto c = compareValues(subject, eval(*node.children[i], row));
            if (c == 0)
                return Value::boolean(!node.negated);
        }
        return unknown ? Value::null() : Value::boolean(node.negated);
    }
    case Expr::Kind::IsNull:
        return Value::boolean(eval(*node.children[0], row).isNull() != node.negated);
    case Expr::Kind::Not: {
        const auto b = truthOf(eval(*node.children[0], row));
        return truth(b ? std::optional<bool>(!*b) : std::nullopt);
    }
    case Expr::Kind::And: {
        const auto a = truthOf(eval(*node.children[0], row));
        if (a == false)
            return Value::boolean(false);
        const auto b = truthOf(eval(*node.children[1], row));
        if (b == false)
            return Value::boolean(false);
        return truth(a && b ? std::optional<bool>(true) : std::nullopt);
    }
    case Expr::Kind::Or: {
        const auto a = truthOf(eval(*node.children[0], row));
        if (a == true)
            return Value::boolean(true);
        const auto b = truthOf(eval(*node.children[1], row));
        if (b == true)
            return Value::boolean(true);
        return truth(a && b ? std::optional<bool>(false) : std::nullopt);
    }
    }
    return Value::null();
}

} // namespace convodesk::data::query
