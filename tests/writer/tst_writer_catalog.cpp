// The catalog and stored queries of written files, as mdbtools and mdb-reader see them.
#include "data/jet4/QueryDef.h"
#include "support/ReferenceReaders.h"
#include "support/TempDatabase.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>

using namespace convodesk;
using namespace convodesk::testing;
using jet4::ColumnType;
using jet4::QueryDef;
using jet4::Value;
using jet4::WriterTable;

namespace {
WriterTable table(const QString& name, const std::vector<jet4::WriterColumn>& columns) {
    WriterTable t;
    t.name = name;
    t.columns = columns;
    return t;
}

std::vector<WriterTable> schoolTables() {
    WriterTable students =
        table(QStringLiteral("Students"),
              {{QStringLiteral("Id"), ColumnType::Long, 0}, {QStringLiteral("Name"), ColumnType::Text, 80}});
    students.rows.push_back({Value::integer(1), Value::text(QStringLiteral("Ann"))});
    WriterTable grades = table(QStringLiteral("Grades"), {{QStringLiteral("StudentId"), ColumnType::Long, 0},
                                                          {QStringLiteral("Mark"), ColumnType::Integer, 0}});
    WriterTable all = table(QStringLiteral("Every Type"), {{QStringLiteral("T"), ColumnType::Text, 12},
                                                           {QStringLiteral("M"), ColumnType::Memo, 0},
                                                           {QStringLiteral("By"), ColumnType::Byte, 0},
                                                           {QStringLiteral("I"), ColumnType::Integer, 0},
                                                           {QStringLiteral("L"), ColumnType::Long, 0},
                                                           {QStringLiteral("D"), ColumnType::Double, 0},
                                                           {QStringLiteral("B"), ColumnType::Boolean, 0},
                                                           {QStringLiteral("When"), ColumnType::DateTime, 0},
                                                           {QStringLiteral("C"), ColumnType::Currency, 0}});
    return {students, grades, all};
}

QueryDef distinctQuery() {
    QueryDef q;
    q.name = QStringLiteral("Good marks");
    q.selectFlags = QueryDef::Distinct;
    q.columns = {{QStringLiteral("Students.Name"), QString(), 0},
                 {QStringLiteral("Grades.Mark"), QStringLiteral("TheMark"), 0}};
    q.tables = {{QStringLiteral("Students"), QString(), QString()},
                {QStringLiteral("Grades"), QString(), QString()}};
    q.joins = {{QueryDef::JoinType::Left, QStringLiteral("Students"), QStringLiteral("Grades"),
                QStringLiteral("Students.Id = Grades.StudentId")}};
    q.where = QStringLiteral("(((Grades.Mark)>3))");
    q.orderBy = {{QStringLiteral("Students.Name"), false}, {QStringLiteral("Grades.Mark"), true}};
    return q;
}

QueryDef topQuery() {
    QueryDef q;
    q.name = QStringLiteral("Top five");
    q.selectFlags = QueryDef::Top;
    q.top = QStringLiteral("5");
    q.columns = {{QStringLiteral("S.Name"), QString(), 0}};
    q.tables = {{QStringLiteral("Students"), QStringLiteral("S"), QString()},
                {QStringLiteral("Grades"), QString(), QString()}};
    q.joins = {{QueryDef::JoinType::Inner, QStringLiteral("S"), QStringLiteral("Grades"),
                QStringLiteral("S.Id = Grades.StudentId")},
               {QueryDef::JoinType::Right, QStringLiteral("S"), QStringLiteral("Grades"),
                QStringLiteral("S.Id > 0")}};
    q.orderBy = {{QStringLiteral("S.Name"), true}};
    return q;
}
} // namespace

class WriterCatalogTest : public QObject {
    Q_OBJECT

private slots:
    void listsExactlyTheUserTablesInBothReaders() {
        TempDatabase db;
        const QString file = db.write(schoolTables(), {distinctQuery()});
        const QStringList expected{QStringLiteral("Students"), QStringLiteral("Grades"),
                                   QStringLiteral("Every Type")};
        QCOMPARE(ReferenceReaders::mdbTables(file), expected);
        QCOMPARE(ReferenceReaders::mdbTables(file, true),
                 QStringList({QStringLiteral("MSysObjects"), QStringLiteral("MSysQueries")}) + expected);
        QStringList readerTables;
        for (const auto& v : ReferenceReaders::mdbReaderDump(file).value(QStringLiteral("tables")).toArray())
            readerTables << v.toString();
        QCOMPARE(readerTables, expected);
    }

    // Each table has two usage-map rows; forty tables need more than one page of them.
    void manyTablesAllReadable() {
        std::vector<WriterTable> tables;
        QStringList names;
        for (int i = 0; i < 40; ++i) {
            WriterTable t =
                table(QStringLiteral("Table %1").arg(i), {{QStringLiteral("N"), ColumnType::Long, 0}});
            t.rows.push_back({Value::integer(i)});
            tables.push_back(t);
            names << t.name;
        }
        TempDatabase db;
        const QString file = db.write(tables);
        QCOMPARE(ReferenceReaders::mdbTables(file), names);
        const QJsonObject data =
            ReferenceReaders::mdbReaderDump(file).value(QStringLiteral("data")).toObject();
        for (int i = 0; i < 40; ++i) {
            QCOMPARE(ReferenceReaders::mdbExport(file, names[i]).rows.at(0).at(0),
                     std::optional<QString>(QString::number(i)));
            QCOMPARE(data.value(names[i])
                         .toObject()
                         .value(QStringLiteral("rows"))
                         .toArray()
                         .at(0)
                         .toArray()
                         .at(0)
                         .toInt(),
                     i);
        }
    }

    void schemaShowsEveryColumnType() {
        TempDatabase db;
        const QString schema = ReferenceReaders::mdbSchema(db.write(schoolTables()));
        const QStringList expected{
            QStringLiteral("[T]\t\t\tText (12)"),    QStringLiteral("[M]\t\t\tMemo/Hyperlink"),
            QStringLiteral("[By]\t\t\tByte"),        QStringLiteral("[I]\t\t\tInteger"),
            QStringLiteral("[L]\t\t\tLong Integer"), QStringLiteral("[D]\t\t\tDouble"),
            QStringLiteral("[B]\t\t\tBoolean"),      QStringLiteral("[When]\t\t\tDateTime"),
            QStringLiteral("[C]\t\t\tCurrency")};
        for (const QString& line : expected)
            QVERIFY2(schema.contains(line), qPrintable(line + QStringLiteral(" missing in:\n") + schema));
    }

    void storedQueriesAreListedAndPrinted() {
        TempDatabase db;
        const QString file = db.write(schoolTables(), {distinctQuery(), topQuery()});
        QCOMPARE(ReferenceReaders::mdbQueryNames(file).join(QLatin1Char('|')),
                 QStringLiteral("Good|marks|Top|five")); // mdb-queries -L separates names by spaces
        // mdb-queries drops joins, aliases and all but the first sort key.
        QCOMPARE(ReferenceReaders::mdbQuerySql(file, QStringLiteral("Good marks")),
                 QStringLiteral("SELECT DISTINCT Students.Name,Grades.Mark FROM [Students],[Grades] WHERE "
                                "(((Grades.Mark)>3)) ORDER BY Students.Name"));
        QCOMPARE(ReferenceReaders::mdbQuerySql(file, QStringLiteral("Top five")),
                 QStringLiteral("SELECT TOP 5 S.Name FROM [Students],[Grades] ORDER BY S.Name DESCENDING"));
    }

    // The parts mdb-queries does not print, checked in the MSysQueries rows themselves.
    void queryRowsCarryJoinsAliasesAndEverySortKey() {
        TempDatabase db;
        const QString file = db.write(schoolTables(), {distinctQuery(), topQuery()});
        const dbtool::CsvTable rows = ReferenceReaders::mdbExport(file, QStringLiteral("MSysQueries"));
        QCOMPARE(rows.header.join(QLatin1Char(',')),
                 QStringLiteral("ObjectId,Attribute,Order,Name1,Name2,Expression,Flag,LvExtra"));
        QStringList lines;
        QSet<QString> ids;
        for (const auto& r : rows.rows) {
            ids.insert(r[0].value_or(QString()));
            QStringList fields;
            for (std::size_t c = 1; c < r.size(); ++c)
                fields << r[c].value_or(QStringLiteral("-"));
            lines << fields.join(QLatin1Char('|'));
        }
        QCOMPARE(ids.size(), 2);
        const QStringList expected{
            QStringLiteral("0|-|-|-|-|0|-"),
            QStringLiteral("1|-|-|-|-|1|-"),
            QStringLiteral("3|-|-|-|-|2|-"),
            QStringLiteral("5|-|Students|-|-|-|-"),
            QStringLiteral("5|-|Grades|-|-|-|-"),
            QStringLiteral("6|-|-|-|Students.Name|0|-"),
            QStringLiteral("6|-|TheMark|-|Grades.Mark|0|-"),
            QStringLiteral("7|-|Students|Grades|Students.Id = Grades.StudentId|2|-"),
            QStringLiteral("8|-|-|-|(((Grades.Mark)>3))|-|-"),
            QStringLiteral("11|-|-|-|Students.Name|-|-"),
            QStringLiteral("11|-|D|-|Grades.Mark|-|-"),
            QStringLiteral("255|-|-|-|-|-|-"),
            QStringLiteral("0|-|-|-|-|0|-"),
            QStringLiteral("1|-|-|-|-|1|-"),
            QStringLiteral("3|-|5|-|-|16|-"),
            QStringLiteral("5|-|Students|S|-|-|-"),
            QStringLiteral("5|-|Grades|-|-|-|-"),
            QStringLiteral("6|-|-|-|S.Name|0|-"),
            QStringLiteral("7|-|S|Grades|S.Id = Grades.StudentId|1|-"),
            QStringLiteral("7|-|S|Grades|S.Id > 0|3|-"),
            QStringLiteral("11|-|D|-|S.Name|-|-"),
            QStringLiteral("255|-|-|-|-|-|-"),
        };
        QCOMPARE(lines, expected);
    }

    void queryIdsMatchTheirCatalogRows() {
        TempDatabase db;
        const QString file = db.write(schoolTables(), {distinctQuery(), topQuery()});
        const dbtool::CsvTable objects = ReferenceReaders::mdbExport(file, QStringLiteral("MSysObjects"));
        const int id = objects.columnIndex(QStringLiteral("Id"));
        const int name = objects.columnIndex(QStringLiteral("Name"));
        const int type = objects.columnIndex(QStringLiteral("Type"));
        QSet<QString> queryIds;
        QStringList names;
        for (const auto& r : objects.rows) {
            names << r[static_cast<std::size_t>(name)].value_or(QString());
            if (r[static_cast<std::size_t>(type)] == QStringLiteral("5"))
                queryIds.insert(*r[static_cast<std::size_t>(id)]);
        }
        QVERIFY(names.contains(QStringLiteral("MSysObjects")));
        QVERIFY(names.contains(QStringLiteral("MSysQueries")));
        QSet<QString> rowIds;
        for (const auto& r : ReferenceReaders::mdbExport(file, QStringLiteral("MSysQueries")).rows)
            rowIds.insert(*r[0]);
        QCOMPARE(rowIds, queryIds);
    }
};

QTEST_GUILESS_MAIN(WriterCatalogTest)
#include "tst_writer_catalog.moc"
