#pragma once

#include "Expr.h"
#include "data/jet4/QueryDef.h"

#include <QString>
#include <memory>
#include <vector>

namespace convodesk::data::query {

struct OrderItem {
    ExprPtr expression;
    bool descending = false;
};

// A SELECT as the engine runs it, from a query text or from a stored query's definition.
struct SelectStatement {
    struct Column {
        ExprPtr expression; // an AllFields node for "*" or "T.*"
        QString alias;      // empty: none given
    };
    struct Table {
        QString name;
        QString alias; // empty: none
        // A derived table, "(SELECT ...) AS alias": its rows are this statement's.
        std::shared_ptr<const SelectStatement> derived;
    };
    struct Join {
        jet4::QueryDef::JoinType type = jet4::QueryDef::JoinType::Inner;
        QString left; // table or alias
        QString right;
        ExprPtr on;
    };

    QString name; // the stored query's name; empty for a query text
    bool distinct = false;
    bool distinctRow = false;
    long long top = 0; // 0: no TOP
    bool topPercent = false;
    std::vector<Column> columns;
    std::vector<Table> tables;
    std::vector<Join> joins;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
    bool needsParameters = false; // a PARAMETERS clause
    // A UNION: the parts in order (the fields above other than orderBy and name are unused);
    // unionAll[i] tells whether part i + 1 joins with UNION ALL.
    std::vector<std::shared_ptr<const SelectStatement>> unionParts;
    std::vector<bool> unionAll;

    // The single source of "select ... from X" without joins.
    const QString& source() const { return tables.front().name; }
};

} // namespace convodesk::data::query
