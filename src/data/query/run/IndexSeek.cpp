#include "IndexSeek.h"

#include "ChainedRowSource.h"
#include "data/query/eval/CaseVariants.h"

namespace convodesk::data::query {
namespace {

const Expr* constantSide(const Expr& a, const Expr& b) {
    return a.kind == Expr::Kind::Field && b.kind == Expr::Kind::Literal && !b.value.isNull() ? &b : nullptr;
}

} // namespace

std::unique_ptr<RowSource> openEqualBySeek(Catalog& catalog, const QString& table, const QString& column,
                                           const jet4::Value& value) {
    if (value.kind() != jet4::Value::Kind::Text)
        return catalog.openTableSeek(table, column, value);
    const std::optional<QStringList> spellings = CaseVariants::forSeek(value.asText());
    if (!spellings)
        return nullptr;
    std::vector<std::unique_ptr<RowSource>> parts;
    for (const QString& spelling : *spellings) {
        std::unique_ptr<RowSource> rows = catalog.openTableSeek(table, column, jet4::Value::text(spelling));
        if (!rows)
            return nullptr;
        parts.push_back(std::move(rows));
    }
    if (parts.size() == 1)
        return std::move(parts.front());
    return std::make_unique<ChainedRowSource>(std::move(parts));
}

std::unique_ptr<RowSource> openBySeek(Catalog& catalog, const QString& table, const Expr& condition) {
    std::vector<const Expr*> parts;
    collectConjuncts(&condition, parts);
    for (const Expr* part : parts) {
        if (part->kind != Expr::Kind::Compare || part->op != Expr::Op::Equal || part->children.size() != 2)
            continue;
        const Expr& left = *part->children[0];
        const Expr& right = *part->children[1];
        const Expr* constant = constantSide(left, right);
        const Expr* field = &left;
        if (!constant) {
            constant = constantSide(right, left);
            field = &right;
        }
        if (!constant)
            continue;
        if (auto rows = openEqualBySeek(catalog, table, field->name, constant->value))
            return rows;
    }
    return nullptr;
}

} // namespace convodesk::data::query
