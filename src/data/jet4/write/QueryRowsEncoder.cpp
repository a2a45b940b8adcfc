#include "QueryRowsEncoder.h"

#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

using namespace format;

namespace {
Value textOrNull(const QString& s) {
    return s.isEmpty() ? Value::null() : Value::text(s);
}

struct RowBuilder {
    std::int32_t objectId;
    std::vector<std::vector<Value>> rows;

    void add(QueryAttribute attribute, Value flag, Value name1 = {}, Value name2 = {},
             Value expression = {}) {
        rows.push_back({Value::integer(objectId), Value::integer(attribute), Value::null(), std::move(name1),
                        std::move(name2), std::move(expression), std::move(flag), Value::null()});
    }
};
} // namespace

std::int32_t QueryRowsEncoder::catalogFlags(QueryDef::Kind kind) {
    switch (kind) {
    case QueryDef::Kind::Select:
        return 0;
    case QueryDef::Kind::Crosstab:
        return 16;
    case QueryDef::Kind::Delete:
        return 32;
    case QueryDef::Kind::Update:
        return 48;
    case QueryDef::Kind::Append:
        return 64;
    case QueryDef::Kind::MakeTable:
        return 80;
    case QueryDef::Kind::DataDefinition:
        return 96;
    case QueryDef::Kind::PassThrough:
        return 112;
    case QueryDef::Kind::Union:
        return 128;
    }
    return 0;
}

std::vector<std::vector<Value>> QueryRowsEncoder::encode(const QueryDef& q, std::int32_t objectId) {
    RowBuilder b{objectId, {}};
    b.add(QueryStart, Value::integer(0));
    b.add(QueryKindRow, Value::integer(static_cast<int>(q.kind)), textOrNull(q.target), {},
          textOrNull(q.sqlText));
    for (const QueryDef::Parameter& p : q.parameters)
        b.add(QueryParameter, Value::integer(p.dataType), Value::text(p.name));
    b.add(QuerySelectOptions, Value::integer(q.selectFlags), textOrNull(q.top));
    if (!q.sourceDatabase.isEmpty())
        b.add(QuerySourceDatabase, Value::null(), Value::text(q.sourceDatabase));
    for (const QueryDef::Table& t : q.tables)
        b.add(QueryTable, Value::null(), Value::text(t.name), textOrNull(t.alias), textOrNull(t.expression));
    for (const QueryDef::Column& c : q.columns)
        b.add(QueryColumn, Value::integer(c.flag), textOrNull(c.alias), {}, Value::text(c.expression));
    for (const QueryDef::Join& j : q.joins)
        b.add(QueryJoin, Value::integer(static_cast<int>(j.type)), Value::text(j.left), Value::text(j.right),
              Value::text(j.on));
    if (!q.where.isEmpty())
        b.add(QueryWhere, Value::null(), {}, {}, Value::text(q.where));
    for (const QString& g : q.groupBy)
        b.add(QueryGroupBy, Value::integer(0), {}, {}, Value::text(g));
    if (!q.having.isEmpty())
        b.add(QueryHaving, Value::null(), {}, {}, Value::text(q.having));
    for (const QueryDef::Order& o : q.orderBy)
        b.add(QueryOrderBy, Value::null(),
              o.descending ? Value::text(QString(o.descendingFlag)) : Value::null(), {},
              Value::text(o.expression));
    b.add(QueryEnd, Value::null());
    return b.rows;
}

} // namespace convodesk::jet4
