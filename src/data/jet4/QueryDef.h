#pragma once

#include <QString>
#include <vector>

namespace convodesk::jet4 {

// A stored query as its MSysQueries rows describe it. Expressions are kept as stored
// (Access's own text, e.g. "Graduates.Name" or "(((T.a)>3))"); nothing is parsed here.
// The reader fills it from a file; the writer encodes one into a file.
struct QueryDef {
    enum class Kind {
        Select = 1,
        MakeTable = 2,
        Append = 3,
        Update = 4,
        Delete = 5,
        Crosstab = 6,
        DataDefinition = 7,
        PassThrough = 8,
        Union = 9
    };
    enum SelectFlag {
        AllFields = 0x01,
        Distinct = 0x02,
        OwnerAccess = 0x04,
        DistinctRow = 0x08,
        Top = 0x10,
        Percent = 0x20
    };
    enum class JoinType { Inner = 1, Left = 2, Right = 3 };

    struct Column { // attribute 6
        QString expression;
        QString alias; // empty: no AS
        int flag = 0;  // crosstab role; 0 otherwise
    };
    struct Table { // attribute 5
        QString name;
        QString alias;      // empty: no AS
        QString expression; // set for a sub-query or remote source (and union parts)
    };
    struct Join { // attribute 7
        JoinType type = JoinType::Inner;
        QString left; // table or alias
        QString right;
        QString on; // e.g. "Graduates.Programme = Programme.Program_Code"
    };
    struct Order { // attribute 11
        QString expression;
        bool descending = false;
        QChar descendingFlag = u'D'; // as stored: Access writes 'D' or 'd'
    };
    struct Parameter { // attribute 2
        QString name;
        int dataType = 0;
    };

    QString name;
    Kind kind = Kind::Select;
    int selectFlags = 0;    // attribute 3 flag bits (SelectFlag)
    QString top;            // attribute 3 Name1 when Top is set
    QString sourceDatabase; // attribute 4 (IN ...), empty if none
    QString target;         // attribute 1 Name1: target table or connect string
    QString sqlText;        // attribute 1 Expression: DDL / pass-through text
    std::vector<Parameter> parameters;
    std::vector<Column> columns;
    std::vector<Table> tables;
    std::vector<Join> joins;
    QString where;                // attribute 8, empty if none
    std::vector<QString> groupBy; // attribute 9
    QString having;               // attribute 10
    std::vector<Order> orderBy;
    // Set by the reader when the rows cannot describe a valid query (e.g. "two WHERE rows");
    // the writer never writes it. Empty for a sound definition.
    QString fault;
};

} // namespace convodesk::jet4
