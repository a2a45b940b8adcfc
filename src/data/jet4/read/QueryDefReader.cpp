#include "QueryDefReader.h"

#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

namespace {

QString textOf(const Value& v) {
    return v.kind() == Value::Kind::Text ? v.asText() : QString();
}
int numberOf(const Value& v) {
    return v.kind() == Value::Kind::Integer ? static_cast<int>(v.asInteger()) : 0;
}

} // namespace

QHash<std::uint32_t, std::vector<QueryRow>> readQueryRows(TableCursor& cursor, const TableDef& queries) {
    const int id = queries.columnIndex(u"ObjectId");
    const int attribute = queries.columnIndex(u"Attribute");
    const int name1 = queries.columnIndex(u"Name1");
    const int name2 = queries.columnIndex(u"Name2");
    const int expression = queries.columnIndex(u"Expression");
    const int flag = queries.columnIndex(u"Flag");
    QHash<std::uint32_t, std::vector<QueryRow>> rows;
    if (id < 0 || attribute < 0)
        return rows;
    while (cursor.next()) {
        const Value objectId = cursor.value(id);
        if (objectId.kind() != Value::Kind::Integer)
            continue;
        QueryRow row;
        row.attribute = numberOf(cursor.value(attribute));
        if (name1 >= 0)
            row.name1 = textOf(cursor.value(name1));
        if (name2 >= 0)
            row.name2 = textOf(cursor.value(name2));
        if (expression >= 0)
            row.expression = textOf(cursor.value(expression));
        if (flag >= 0)
            row.flag = numberOf(cursor.value(flag));
        rows[static_cast<std::uint32_t>(objectId.asInteger())].push_back(std::move(row));
    }
    return rows;
}

QueryDef buildQueryDef(const QString& name, const std::vector<QueryRow>& rows) {
    QueryDef q;
    q.name = name;
    bool sawWhere = false;
    for (const QueryRow& r : rows) {
        switch (r.attribute) {
        case format::QueryKindRow:
            if (r.flag >= 1 && r.flag <= 9)
                q.kind = static_cast<QueryDef::Kind>(r.flag);
            q.target = r.name1;
            q.sqlText = r.expression;
            while (q.sqlText.endsWith(QChar(0))) // Access ends stored SQL text with a NUL
                q.sqlText.chop(1);
            break;
        case format::QueryParameter:
            q.parameters.push_back({r.name1, r.flag});
            break;
        case format::QuerySelectOptions:
            q.selectFlags = r.flag;
            q.top = r.name1;
            break;
        case format::QuerySourceDatabase:
            q.sourceDatabase = r.name1;
            break;
        case format::QueryTable:
            q.tables.push_back({r.name1, r.name2, r.expression});
            break;
        case format::QueryColumn:
            q.columns.push_back({r.expression, r.name1, r.flag});
            break;
        case format::QueryJoin: {
            QueryDef::Join join;
            if (r.flag >= 1 && r.flag <= 3)
                join.type = static_cast<QueryDef::JoinType>(r.flag);
            else if (q.fault.isEmpty())
                q.fault = QStringLiteral("an unknown join type (%1) between '%2' and '%3'")
                              .arg(r.flag)
                              .arg(r.name1, r.name2);
            join.left = r.name1;
            join.right = r.name2;
            join.on = r.expression;
            q.joins.push_back(join);
            break;
        }
        case format::QueryWhere:
            if (sawWhere && q.fault.isEmpty())
                q.fault = QStringLiteral("two WHERE rows");
            sawWhere = true;
            q.where = r.expression;
            break;
        case format::QueryGroupBy:
            q.groupBy.push_back(r.expression);
            break;
        case format::QueryHaving:
            q.having = r.expression;
            break;
        case format::QueryOrderBy:
            if (r.name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0)
                q.orderBy.push_back({r.expression, true, r.name1.front()});
            else
                q.orderBy.push_back({r.expression, false, u'D'});
            break;
        default:
            break;
        }
    }
    return q;
}

} // namespace convodesk::jet4
