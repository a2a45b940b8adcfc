// The expression language and the query shapes of stored queries and query texts, on tables
// held in memory: Null rules, operators, functions, grouping, TOP, DISTINCTROW, UNION,
// subqueries, output names, parameters, and texts nested too deeply.
#include "data/DataError.h"
#include "data/query/run/QueryEngine.h"
#include "support/CaughtError.h"
#include "support/MemoryCatalog.h"
#include "support/RowText.h"
#include "support/Values.h"

#include <QTest>

using namespace convodesk::data;
using convodesk::jet4::QueryDef;
using convodesk::jet4::Value;

using convodesk::testing::errorOf;
using convodesk::testing::n;
using convodesk::testing::rowTexts;
using convodesk::testing::t;

namespace {

QStringList namesOf(const query::RowSet& rows) {
    QStringList out;
    for (const auto& column : rows.columns)
        out << column.name;
    return out;
}

QueryDef stored(const char* name, std::initializer_list<std::pair<const char*, const char*>> columns,
                std::initializer_list<const char*> tables) {
    QueryDef def;
    def.name = QString::fromLatin1(name);
    for (const auto& [expression, alias] : columns)
        def.columns.push_back({QString::fromLatin1(expression), QString::fromLatin1(alias), 0});
    for (const char* table : tables)
        def.tables.push_back({QString::fromLatin1(table), {}, {}});
    return def;
}

} // namespace

class QueryLanguageTest : public QObject {
    Q_OBJECT

    convodesk::testing::MemoryCatalog catalog;

    QStringList mismatches; // queries whose two ways disagree, checked after each test

    // Runs the text both ways a SELECT over one source can go (read straight in, or through the
    // general join step) and notes any difference in rows, names or error.
    QStringList run(const QString& text) {
        query::QueryEngine engine(catalog);
        query::QueryEngine general(catalog);
        general.setDirectScans(false);
        query::RowSet generalRows;
        const QString generalError = errorOf([&] { generalRows = general.runText(text); });
        query::RowSet rows;
        const QString error = errorOf([&] { rows = engine.runText(text); });
        if (error != generalError || rowTexts(rows) != rowTexts(generalRows) ||
            namesOf(rows) != namesOf(generalRows))
            mismatches << text;
        if (error != QLatin1String("<no error>"))
            rows = engine.runText(text); // throws again for the caller
        return rowTexts(rows);
    }
    // The expression's value on the one row of One, or the error it gives.
    QString value(const QString& expression) {
        QString result;
        const QString error = errorOf([&] {
            result = run(QStringLiteral("select ") + expression + QStringLiteral(" as V from One")).value(0);
        });
        return error == QLatin1String("<no error>") ? result : error;
    }

private slots:
    void cleanup() { QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1Char('\n')))); }

    void init() {
        mismatches.clear();
        catalog = convodesk::testing::MemoryCatalog();
        catalog.addTable(QStringLiteral("One"), {"X", "Nothing"}, {{n(1), Value()}});
        catalog.addTable(QStringLiteral("Customers"), {"ID", "Name", "City"},
                         {{n(1), t("Ana"), t("Porto")},
                          {n(2), t("Ben"), Value()},
                          {n(3), t("Cy"), t("Porto")},
                          {n(4), t("Dee"), t("Lyon")}});
        catalog.addTable(QStringLiteral("Orders"), {"ID", "Customer", "Qty", "Paid", "Shipped"},
                         {{n(10), n(1), n(5), Value::boolean(true), Value::dateTime(37636)},
                          {n(11), n(1), n(3), Value::boolean(false), Value()},
                          {n(12), n(2), Value(), Value::boolean(true), Value::dateTime(-18262)},
                          {n(13), n(3), n(5), Value::boolean(false), Value()},
                          {n(14), Value(), n(2), Value::boolean(true), Value()}});
    }

    void nullRulesOfConcatenationAndPlus() {
        QCOMPARE(value(QStringLiteral("'a' & Null")), QStringLiteral("a"));
        QCOMPARE(value(QStringLiteral("Null & Nothing")), QStringLiteral("<null>"));
        QCOMPARE(value(QStringLiteral("'a' + Null")), QStringLiteral("<null>"));
        QCOMPARE(value(QStringLiteral("'a' + 'b'")), QStringLiteral("ab"));
        QCOMPARE(value(QStringLiteral("1 + '2'")), QStringLiteral("3"));
        QCOMPARE(value(QStringLiteral("X & 2 & 'c'")), QStringLiteral("12c"));
        QCOMPARE(value(QStringLiteral("Nz(Nothing, 'none') & '!'")), QStringLiteral("none!"));
        // A field and a literal joined as the designer writes it.
        QCOMPARE(run(QStringLiteral("select [Name] & \" \" & [City] as Label from Customers where ID = 2")),
                 QStringList{"Ben "});
    }

    void operatorsAndLiterals() {
        QCOMPARE(value(QStringLiteral("7 \\ 2")), QStringLiteral("3"));
        QCOMPARE(value(QStringLiteral("7 Mod 3")), QStringLiteral("1"));
        QCOMPARE(value(QStringLiteral("2 ^ 3")), QStringLiteral("8"));
        QCOMPARE(value(QStringLiteral("-2 ^ 2")), QStringLiteral("-4"));
        QCOMPARE(value(QStringLiteral("2 ^ -1 * 4 & ' ' & 2 ^ +-2 & ' ' & -2 ^ -1")),
                 QStringLiteral("2 0.25 -0.5"));
        QCOMPARE(value(QStringLiteral("1 + 2 * 3 - 4 / 2")), QStringLiteral("5"));
        QCOMPARE(value(QStringLiteral("X Between 2 And 0")), QStringLiteral("True"));
        QCOMPARE(value(QStringLiteral("X Not Between 2 And 3")), QStringLiteral("True"));
        QCOMPARE(value(QStringLiteral("Yes")), QStringLiteral("True"));
        QCOMPARE(value(QStringLiteral("Off")), QStringLiteral("False"));
        int number = 0;
        QCOMPARE(errorOf([&] { run(QStringLiteral("select X / 0 from One")); }, &number),
                 QStringLiteral("Division by zero."));
        QCOMPARE(number, int(DataError::DivisionByZero));
        QCOMPARE(run(QStringLiteral("select ID from Orders where Paid = Yes")),
                 (QStringList{"10", "12", "14"}));
        QCOMPARE(run(QStringLiteral("select ID from Orders where Paid = No and Qty In (5, 7)")),
                 QStringList{"13"});
        QCOMPARE(run(QStringLiteral("select ID from Orders where Not Qty > 2 or Qty Is Null")),
                 (QStringList{"12", "14"}));
    }

    void datesIncludingBefore1900() {
        QCOMPARE(value(QStringLiteral("Format(#1/15/2003#, 'yyyy-mm-dd')")), QStringLiteral("2003-01-15"));
        QCOMPARE(value(QStringLiteral("Format(#2003-01-15 14:05:09#, 'Long Time')")),
                 QStringLiteral("2:05:09 PM"));
        QCOMPARE(value(QStringLiteral("Year(#12/31/1850#) & '-' & Month(#12/31/1850#)")),
                 QStringLiteral("1850-12"));
        QCOMPARE(value(QStringLiteral("Format(DateAdd('d', 1, #12/31/1850#), 'Short Date')")),
                 QStringLiteral("1/1/1851"));
        QCOMPARE(value(QStringLiteral("DateDiff('d', #1/1/1850#, #1/1/1900#)")), QStringLiteral("18262"));
        QCOMPARE(value(QStringLiteral("Format(DateSerial(2024, 14, 0), 'mmmm d')")),
                 QStringLiteral("January 31"));
        QCOMPARE(value(QStringLiteral("Weekday(#2024-06-02#)")), QStringLiteral("1")); // a Sunday
        QCOMPARE(value(QStringLiteral("DatePart('q', #2024-08-01#)")), QStringLiteral("3"));
        QCOMPARE(run(QStringLiteral("select ID from Orders where Shipped < #1/1/1900#")), QStringList{"12"});
        QCOMPARE(run(QStringLiteral("select Year(Shipped) from Orders where ID = 12")), QStringList{"1849"});
    }

    void textConversionAndMathFunctions() {
        QCOMPARE(value(QStringLiteral("Trim('  a b  ') & '|' & LTrim(' a') & RTrim('a ')")),
                 QStringLiteral("a b|aa"));
        QCOMPARE(
            value(QStringLiteral("UCase(Left('hello', 2)) & LCase(Right('WORLD', 3)) & Mid('abcdef', 2, 3)")),
            QStringLiteral("HErldbcd"));
        QCOMPARE(value(QStringLiteral("InStr('Hello', 'L') & InStr(4, 'Hello', 'l') & Len('abc')")),
                 QStringLiteral("343"));
        QCOMPARE(value(QStringLiteral("Replace('a-b-c', '-', '+') & Space(2) & Chr(65) & Asc('a')")),
                 QStringLiteral("a+b+c  A97"));
        QCOMPARE(value(QStringLiteral("StrConv('mary ANN lee', 3)")), QStringLiteral("Mary Ann Lee"));
        QCOMPARE(value(QStringLiteral("Val('12.5abc') + CInt(2.5) + CLng('3')")), QStringLiteral("17.5"));
        QCOMPARE(value(QStringLiteral("Round(2.345, 2) & ' ' & Int(-2.5) & ' ' & Fix(-2.5) & ' ' & Sgn(-3)")),
                 QStringLiteral("2.35 -3 -2 -1"));
        QCOMPARE(value(QStringLiteral("IIf(Nothing Is Null, 'none', 1/0)")), QStringLiteral("none"));
        QCOMPARE(value(QStringLiteral("Switch(X = 0, 'zero', X = 1, 'one')")), QStringLiteral("one"));
        QCOMPARE(value(QStringLiteral("Format(1234.5, '#,##0.00') & ' ' & Format(0.25, 'Percent')")),
                 QStringLiteral("1,234.50 25.00%"));
        QCOMPARE(value(QStringLiteral("CStr(Abs(-3)) & Str(4) & IsNull(Nothing)")), QStringLiteral("3 4-1"));
        int number = 0;
        QCOMPARE(errorOf([&] { run(QStringLiteral("select Soundex('x') from One")); }, &number),
                 QStringLiteral("Undefined function 'Soundex' in expression."));
        QCOMPARE(number, int(DataError::UndefinedFunction));
    }

    // A result that does not fit its type is Jet's Overflow (error 6): never a wrapped number,
    // an infinity or a date no calendar has.
    void overflowWhereAResultDoesNotFitItsType() {
        catalog.addTable(
            QStringLiteral("Extremes"), {"Big", "Least", "Money", "LeastMoney"},
            {{n(INT64_MAX), n(INT64_MIN), Value::currency(INT64_MAX), Value::currency(INT64_MIN)}});
        const auto on = [&](const char* expression) {
            int number = 0;
            QString result;
            const QString error = errorOf(
                [&] {
                    result =
                        run(QStringLiteral("select %1 as V from Extremes").arg(QLatin1String(expression)))
                            .value(0);
                },
                &number);
            return error == QLatin1String("<no error>") ? result
                                                        : QStringLiteral("%1 %2").arg(number).arg(error);
        };
        // What fits stays exact.
        QCOMPARE(on("Abs(Big) = Big And Int(Big) = Big And Fix(Big) = Big And Round(Big) = Big"),
                 QStringLiteral("True"));
        QCOMPARE(on("Abs(Least + 1) = Big And Round(Money, 4) = Money"), QStringLiteral("True"));
        QCOMPARE(on("Fix(LeastMoney) - LeastMoney"), QStringLiteral("0.5808"));
        QCOMPARE(on("Int(LeastMoney + CCur(1)) - LeastMoney & ' ' & Round(CCur(2.5)) & ' ' & "
                    "Round(CCur(-0.0015), 3) & "
                    "' ' & Round(CCur(0.0025), 3)"),
                 QStringLiteral("0.5808 2 -0.002 0.002"));
        for (const char* expression :
             {"Abs(Least)", "Abs(LeastMoney)", "-LeastMoney", "Int(LeastMoney)", "Round(Money)",
              "Round(LeastMoney)", "Money + Money", "LeastMoney - Money", "1e308 * 10", "1e308 / 0.1",
              "10 ^ 400", "CSng(1e39)", "Round(1e300, 15)", "CInt(40000)"})
            QVERIFY2(on(expression) == QLatin1String("6 Overflow"), expression);
        QCOMPARE(value(QStringLiteral("CSng(3e38) > 0 And CDbl(1e308) > 0")), QStringLiteral("True"));
    }

    void overflowOfDatesOutsideYears100To9999() {
        QCOMPARE(value(QStringLiteral("Format(#12/31/9999# + 0.5, 'yyyy-mm-dd hh:nn')")),
                 QStringLiteral("9999-12-31 12:00"));
        QCOMPARE(value(QStringLiteral("Format(#1/1/100#, 'mmmm d yyyy')")), QStringLiteral("January 1 100"));
        for (const char* expression :
             {"#12/31/9999# + 1", "#1/1/100# - 1", "-#12/31/9999#", "Format(5e18, 'mmmm')",
              "Format(-1e300, 'dddd')", "DateDiff('s', 0, 1e15)", "Year(3e6)", "CDate(1e7)",
              "TimeSerial(2000000000, 0, 0)"})
            QCOMPARE(value(QString::fromLatin1(expression)), QStringLiteral("Overflow"));
    }

    // Sums of whole numbers and of Currency are exact (Currency in ten-thousandths, not doubles);
    // one past the range is Overflow.
    void sumsExactOrOverflow() {
        catalog.addTable(QStringLiteral("Cash"), {"Amount", "Count"},
                         {{Value::currency(9'000'000'000'000'000'001), n(INT64_MAX)},
                          {Value::currency(1), n(1)},
                          {Value::currency(1), n(-1)}});
        QCOMPARE(value(QStringLiteral("(select Sum(Amount) from Cash) - CCur(900000000000000)")),
                 QStringLiteral("0.0003"));
        QCOMPARE(value(QStringLiteral("(select Avg(Amount) from Cash) - CCur(300000000000000)")),
                 QStringLiteral("0.0001"));
        QCOMPARE(value(QStringLiteral("(select Sum(Count) from Cash where Count < 9) & ''")),
                 QStringLiteral("0"));
        QCOMPARE(value(QStringLiteral("(select Sum(Count) from Cash)")), QStringLiteral("Overflow"));
        catalog.addTable(QStringLiteral("Rich"), {"Amount"},
                         {{Value::currency(INT64_MAX)}, {Value::currency(1)}});
        QCOMPARE(value(QStringLiteral("(select Sum(Amount) from Rich)")), QStringLiteral("Overflow"));
        QCOMPARE(value(QStringLiteral("(select Avg(Amount) from Rich) > 0")), QStringLiteral("Overflow"));
    }

    void groupingWithNullsAndHaving() {
        QCOMPARE(run(QStringLiteral(
                     "select Customer, Sum(Qty), Count(*), Count(Qty) from Orders group by Customer")),
                 (QStringList{"<null>|2|1|1", "1|8|2|2", "2|<null>|1|0", "3|5|1|1"}));
        query::QueryEngine engine(catalog);
        const auto grouped = engine.runText(QStringLiteral(
            "select Customer, Sum(Qty), Count(*), Avg(Qty) as Mean from Orders group by Customer "
            "having Sum(Qty) > 4 order by Sum(Qty) desc"));
        QCOMPARE(namesOf(grouped), (QStringList{"Customer", "SumOfQty", "Expr1000", "Mean"}));
        QCOMPARE(rowTexts(grouped), (QStringList{"1|8|2|4", "3|5|1|5"}));
        QCOMPARE(run(QStringLiteral("select Count(*), Max(Qty), Min(Shipped) from Orders where ID > 99")),
                 QStringList{"0|<null>|<null>"});
        QCOMPARE(run(QStringLiteral("select Count(*) from Orders")), QStringList{"5"});
        int number = 0;
        errorOf([&] { run(QStringLiteral("select Customer, Qty from Orders group by Customer")); }, &number);
        QCOMPARE(number, int(DataError::NotAggregated));
    }

    void distinctRowOverOneToManyJoin() {
        QueryDef def = stored("Buyers", {{"Customers.*", ""}}, {"Customers", "Orders"});
        def.joins.push_back({QueryDef::JoinType::Inner, QStringLiteral("Customers"), QStringLiteral("Orders"),
                             QStringLiteral("Customers.ID = Orders.Customer")});
        catalog.addQuery(def);
        query::QueryEngine engine(catalog);
        QCOMPARE(engine.runSource(QStringLiteral("Buyers")).rows.size(), std::size_t(4)); // one per order
        def.name = QStringLiteral("DistinctBuyers");
        def.selectFlags = QueryDef::DistinctRow;
        catalog.addQuery(def);
        query::QueryEngine again(catalog);
        QCOMPARE(rowTexts(again.runSource(QStringLiteral("DistinctBuyers"))),
                 (QStringList{"1|Ana|Porto", "2|Ben|<null>", "3|Cy|Porto"}));
    }

    void topKeepsTiesAtTheEdge() {
        QCOMPARE(run(QStringLiteral("select top 1 ID from Orders order by Qty desc")),
                 (QStringList{"10", "13"}));
        QCOMPARE(run(QStringLiteral("select top 2 ID from Orders order by Qty desc, ID")),
                 (QStringList{"10", "13"}));
        QCOMPARE(run(QStringLiteral("select top 3 ID from Orders")), (QStringList{"10", "11", "12"}));
        QCOMPARE(run(QStringLiteral("select top 40 percent ID from Orders order by ID desc")),
                 (QStringList{"14", "13"}));
        QueryDef def = stored("TopOne", {{"Orders.ID", ""}}, {"Orders"});
        def.selectFlags = QueryDef::Top;
        def.top = QStringLiteral("1");
        def.orderBy.push_back({QStringLiteral("Orders.Qty"), true});
        catalog.addQuery(def);
        // A condition on the outputs applies after TOP, not before.
        QCOMPARE(run(QStringLiteral("select * from TopOne where ID = 13")), QStringList{"13"});
        QCOMPARE(run(QStringLiteral("select * from TopOne where ID = 11")), QStringList{});
    }

    void unionAndUnionAll() {
        QCOMPARE(
            run(QStringLiteral("select City from Customers where ID < 3 union select City from Customers")),
            (QStringList{"Porto", "<null>", "Lyon"}));
        QCOMPARE(
            run(QStringLiteral("select City from Customers union all select 'Rome' from One order by City")),
            (QStringList{"<null>", "Lyon", "Porto", "Porto", "Rome"}));
        QueryDef def;
        def.name = QStringLiteral("Places");
        def.kind = QueryDef::Kind::Union;
        def.selectFlags = 0; // flag 2 clear: UNION ALL
        def.tables = {{{}, QStringLiteral("X1"), QStringLiteral("SELECT City FROM Customers WHERE ID = 1")},
                      {{}, QStringLiteral("X2"), QStringLiteral("SELECT City FROM Customers WHERE ID = 3")}};
        catalog.addQuery(def);
        QCOMPARE(run(QStringLiteral("select * from Places")), (QStringList{"Porto", "Porto"}));
        QCOMPARE(run(QStringLiteral("select * from Places where City = 'Lyon'")), QStringList{});
        // Access sets flag 2 on every plain UNION it writes: each row once.
        def.name = QStringLiteral("PlacesOnce");
        def.selectFlags = 0x02;
        catalog.addQuery(def);
        QCOMPARE(run(QStringLiteral("select * from PlacesOnce")), QStringList{"Porto"});
    }

    void joinsOnMoreThanEqualFieldsAndTablesListedWithAComma() {
        QCOMPARE(
            run(QStringLiteral("select Name, Orders.ID from Customers inner join Orders on Customers.ID = "
                               "Orders.Customer and Orders.Qty > 4")),
            (QStringList{"Ana|10", "Cy|13"}));
        QCOMPARE(run(QStringLiteral(
                     "select Name, Orders.ID from Customers, Orders where Customers.ID = Orders.Customer "
                     "and Paid = No")),
                 (QStringList{"Ana|11", "Cy|13"}));
        QCOMPARE(run(QStringLiteral("select Count(*) from Customers, Orders")), QStringList{"20"});
    }

    void subqueries() {
        QCOMPARE(run(QStringLiteral(
                     "select Name from Customers where ID In (select Customer from Orders where Paid)")),
                 (QStringList{"Ana", "Ben"}));
        QCOMPARE(run(QStringLiteral(
                     "select Name from Customers where ID Not In (select Customer from Orders where "
                     "Customer Is Not Null)")),
                 QStringList{"Dee"});
        QCOMPARE(run(QStringLiteral(
                         "select Name from Customers where Exists (select * from Orders where Qty > 4)"))
                     .size(),
                 4);
        QCOMPARE(run(QStringLiteral("select ID from Orders where Qty = (select Max(Qty) from Orders)")),
                 (QStringList{"10", "13"}));
    }

    // A subquery that names the outer row's fields runs for each outer row; a name its own
    // sources have stays its own.
    void correlatedSubqueries() {
        QCOMPARE(run(QStringLiteral(
                     "select Name from Customers as C where Exists (select * from Orders as O where "
                     "O.Customer = C.ID and Paid)")),
                 (QStringList{"Ana", "Ben"}));
        QCOMPARE(run(QStringLiteral("select Name from Customers where Not Exists (select * from Orders where "
                                    "Customer = Customers.ID)")),
                 QStringList{"Dee"});
        // Customer is no field of Customers: the outer Orders row's; ID is the inner table's own.
        QCOMPARE(run(QStringLiteral("select ID from Orders where Exists (select * from Customers as C where "
                                    "C.ID = Customer and City = 'Porto')")),
                 (QStringList{"10", "11", "13"}));
        QCOMPARE(run(QStringLiteral(
                     "select Name from Customers where Exists (select * from Orders where Customer = ID)")),
                 QStringList());
        // In over a result with Null (Ben) is Null, over no rows (Dee) False.
        QCOMPARE(
            run(QStringLiteral("select Name from Customers as C where 5 In (select Qty from Orders where "
                               "Orders.Customer = C.ID)")),
            (QStringList{"Ana", "Cy"}));
        QCOMPARE(
            run(QStringLiteral("select Name from Customers as C where 5 Not In (select Qty from Orders where "
                               "Orders.Customer = C.ID)")),
            QStringList{"Dee"});
        // Scalar: a Null outer value matches nothing, an aggregate over no rows is Null.
        QCOMPARE(run(QStringLiteral(
                     "select ID from Orders as O where Qty = (select Max(Qty) from Orders as O2 where "
                     "O2.Customer = O.Customer)")),
                 (QStringList{"10", "13"}));
        QCOMPARE(run(QStringLiteral(
                     "select Name, (select Sum(Qty) from Orders where Customer = Customers.ID) as Total "
                     "from Customers")),
                 (QStringList{"Ana|8", "Ben|<null>", "Cy|5", "Dee|<null>"}));
        int number = 0;
        QCOMPARE(errorOf(
                     [&] {
                         run(QStringLiteral("select Name from Customers where 1 = (select Qty from Orders "
                                            "where Customer = Customers.ID)"));
                     },
                     &number),
                 QStringLiteral("At most one record can be returned by this subquery."));
        QCOMPARE(number, int(DataError::SubqueryRows));
        // Two levels down, a name of the outermost query.
        QCOMPARE(run(QStringLiteral(
                     "select Name from Customers as C where Exists (select * from Orders as O where "
                     "O.Customer = C.ID and O.Qty In (select Qty from Orders where Customer = C.ID "
                     "and Paid))")),
                 QStringList{"Ana"});
        // In a join, the outer values come from the joined row.
        QCOMPARE(
            run(QStringLiteral("select Name, O.ID from Customers inner join Orders as O on Customers.ID = "
                               "O.Customer where O.Qty < (select Max(Qty) from Orders where Customer = "
                               "Customers.ID)")),
            QStringList{"Ana|11"});
        QueryDef buyers = stored("Buyers", {{"C.Name", ""}}, {"Customers"});
        buyers.tables[0].alias = QStringLiteral("C");
        buyers.where =
            QStringLiteral("Exists (SELECT * FROM Orders WHERE Orders.Customer = C.ID AND Not Paid)");
        catalog.addQuery(buyers);
        QCOMPARE(run(QStringLiteral("select * from Buyers")), (QStringList{"Ana", "Cy"}));
        QueryDef unknown = stored("UnknownOuter", {{"Name", ""}}, {"Customers"});
        unknown.where = QStringLiteral("Exists (SELECT * FROM Orders WHERE Customer = Customers.Nowhere)");
        catalog.addQuery(unknown);
        // A name neither level has stays an error, never a silent Null.
        QCOMPARE(errorOf([&] { run(QStringLiteral("select * from UnknownOuter")); }, &number),
                 QStringLiteral("No field named 'Customers.Nowhere' in 'Orders'."));
    }

    void outputNamesAsAccessGivesThem() {
        query::QueryEngine engine(catalog);
        const auto rows = engine.runText(QStringLiteral(
            "select Customers.ID, Orders.ID, Qty * 2, Name & '', Sum(Qty) from Customers inner join "
            "Orders on Customers.ID = Orders.Customer group by Customers.ID, Orders.ID, Qty * 2, "
            "Name & ''"));
        QCOMPARE(namesOf(rows),
                 (QStringList{"Customers.ID", "Orders.ID", "Expr1000", "Expr1001", "SumOfQty"}));
    }

    void parametersAndRefusals() {
        const auto refusal = [&](QueryDef def, int* number) {
            catalog.addQuery(def);
            query::QueryEngine engine(catalog);
            return errorOf([&] { engine.runText(QStringLiteral("select * from ") + def.name); }, number);
        };
        const QString parameters = QStringLiteral("No value given for one or more required parameters.");
        int number = 0;
        QueryDef declared = stored("Declared", {{"Name", ""}}, {"Customers"});
        declared.parameters = {{QStringLiteral("Which"), 10}};
        QCOMPARE(refusal(declared, &number), parameters);
        QCOMPARE(number, int(DataError::ParameterMissing));
        QueryDef unknown = stored("Unknown", {{"Name", ""}}, {"Customers"});
        unknown.where = QStringLiteral("City = [Which city?]");
        QCOMPARE(refusal(unknown, &number), parameters);
        QueryDef form = stored("FromForm", {{"Name", ""}}, {"Customers"});
        form.where = QStringLiteral("ID = [Forms]![frmPick]![txtID]");
        QCOMPARE(refusal(form, &number), parameters);
        QueryDef update = stored("Change", {{"Name", ""}}, {"Customers"});
        update.kind = QueryDef::Kind::Update;
        QCOMPARE(refusal(update, &number),
                 QStringLiteral(
                     "The stored query 'Change' uses an update action, which this program cannot run."));
        QCOMPARE(number, int(DataError::UnsupportedQuery));
        QueryDef crosstab = stored("Cross", {{"Name", ""}}, {"Customers"});
        crosstab.kind = QueryDef::Kind::Crosstab;
        QVERIFY(refusal(crosstab, &number).contains(QStringLiteral("crosstab")));
        // What a query text uses is blamed on the text, not on a stored query named like its table.
        const char* const unequalOuterJoin =
            "Customers.Name from Customers left join Orders on Customers.ID > Orders.Customer";
        QCOMPARE(
            errorOf([&] { run(QStringLiteral("select ") + QLatin1String(unequalOuterJoin)); }),
            QStringLiteral("The query uses an outer join on something other than equal fields, which this "
                           "program cannot run."));
        QueryDef unequal = stored("Unequal", {{"Customers.Name", ""}}, {"Customers", "Orders"});
        unequal.joins = {{QueryDef::JoinType::Left, QStringLiteral("Customers"), QStringLiteral("Orders"),
                          QStringLiteral("Customers.ID > Orders.Customer")}};
        QCOMPARE(refusal(unequal, &number),
                 QStringLiteral("The stored query 'Unequal' uses an outer join on something "
                                "other than equal fields, which this program cannot run."));
        // Stored queries match LIKE patterns with % and _, as query texts do.
        QueryDef like = stored("LikeP", {{"Name", ""}}, {"Customers"});
        like.where = QStringLiteral("Name Like \"_e%\"");
        catalog.addQuery(like);
        QCOMPARE(run(QStringLiteral("select * from LikeP")), (QStringList{"Ben", "Dee"}));
    }

    // One SELECT path: an alias of the one table binds as it does with a join, and the output
    // names are the same whichever way the rows are read.
    void oneTableThroughItsAlias() {
        QCOMPARE(run(QStringLiteral("select Name from Customers as G where G.ID < 3")),
                 (QStringList{"Ana", "Ben"}));
        QCOMPARE(
            run(QStringLiteral("select G.Name as N from Customers G where G.ID < 3 order by G.Name desc")),
            (QStringList{"Ben", "Ana"}));
        query::QueryEngine engine(catalog);
        QCOMPARE(namesOf(engine.runText(QStringLiteral("select Name, ID from Customers as G"))),
                 (QStringList{"Name", "ID"}));
        QCOMPARE(namesOf(engine.runText(QStringLiteral("select * from Customers"))),
                 (QStringList{"ID", "Name", "City"}));
    }

    // A column may use another column's alias; so may WHERE, GROUP BY and ORDER BY.
    void columnsUsingAnotherColumnsAlias() {
        QCOMPARE(run(QStringLiteral(
                     "select ID, Qty * 2 as Amount, [Amount] + 1 as Plus, Plus * 10 as Big from Orders "
                     "where Amount > 5 order by Big desc, ID")),
                 (QStringList{"10|10|11|110", "13|10|11|110", "11|6|7|70"}));
        QCOMPARE(run(QStringLiteral("select IIf(Qty > 4, 'big', 'small') as Size, Count(*) as N from Orders "
                                    "where Qty Is Not Null group by Size order by Size")),
                 (QStringList{"big|2", "small|2"}));
        // A real field of that name wins over the alias.
        QCOMPARE(run(QStringLiteral("select Qty + 100 as ID, ID as Ref from Orders where ID = 10")),
                 QStringList{"105|10"});
        QueryDef def = stored("Amounts", {{"Orders.Qty*2", "Amount"}, {"[Amount]*0.5", "Half"}}, {"Orders"});
        def.where = QStringLiteral("(([Amount]>5))");
        catalog.addQuery(def);
        QCOMPARE(run(QStringLiteral("select * from Amounts")), (QStringList{"10|5", "6|3", "10|5"}));
        int number = 0;
        QVERIFY(errorOf([&] { run(QStringLiteral("select B + 1 as A, A + 1 as B from One")); }, &number)
                    .contains(QStringLiteral("Circular reference")));
        QCOMPARE(number, int(DataError::CircularAlias));
        // Aliases each using the one before twice: refused, not built out to 2^40 nodes.
        QString doubling = QStringLiteral("select 1 as A0");
        for (int i = 1; i <= 40; ++i)
            doubling += QStringLiteral(", A%1 + A%1 as A%2").arg(i - 1).arg(i);
        errorOf([&] { run(doubling + QStringLiteral(" from One")); }, &number);
        QCOMPARE(number, int(DataError::TooComplex));
    }

    void derivedTables() {
        QCOMPARE(run(QStringLiteral(
                     "select x.Name from (select Name, City from Customers where City = 'Porto') as x")),
                 (QStringList{"Ana", "Cy"}));
        QCOMPARE(run(QStringLiteral(
                     "select c.Name, o.Total from Customers as c inner join (select Customer, Sum(Qty) "
                     "as Total from Orders group by Customer) as o on c.ID = o.Customer order by c.ID")),
                 (QStringList{"Ana|8", "Ben|<null>", "Cy|5"}));
        QCOMPARE(run(QStringLiteral(
                     "select Count(*) from (select * from (select ID from Orders where Qty > 2) as a "
                     "where ID > 10) b")),
                 QStringList{"2"});
        // As Access's designer writes it, brackets and quotes inside.
        QCOMPARE(run(QStringLiteral(
                     "select x.N from [select [Name] as N from Customers where City = \"Lyon\"]. as x")),
                 QStringList{"Dee"});
        QCOMPARE(
            run(QStringLiteral("select * from (select City from Customers union select 'Rome' from One) as u "
                               "where City is not null order by City")),
            (QStringList{"Lyon", "Porto", "Rome"}));
        QueryDef def = stored("Big", {{"b.ID", ""}}, {});
        def.tables.push_back(
            {{}, QStringLiteral("b"), QStringLiteral("SELECT ID FROM Orders WHERE Qty >= 5")});
        catalog.addQuery(def);
        QCOMPARE(run(QStringLiteral("select * from Big")), (QStringList{"10", "13"}));
        int number = 0;
        errorOf([&] { run(QStringLiteral("select * from (select Nowhere from One) as x")); }, &number);
        QCOMPARE(number, int(DataError::NoSuchField));
    }

    // A SELECT without FROM is one row; in a stored query a field it names is a parameter.
    void selectWithoutFrom() {
        QCOMPARE(run(QStringLiteral("select 1 + 1 as Two, 'x' & 'y'")), QStringList{"2|xy"});
        QCOMPARE(run(QStringLiteral("select 1 where 1 = 0")), QStringList{});
        QueryDef def;
        def.name = QStringLiteral("NoSource");
        def.kind = QueryDef::Kind::Union;
        def.selectFlags = 0x02;
        def.tables = {{{}, QStringLiteral("X1"), QStringLiteral("Select T.a where T.a = \"foo\"")},
                      {{}, QStringLiteral("X2"), QStringLiteral("Select ID from Customers")}};
        catalog.addQuery(def);
        int number = 0;
        errorOf([&] { run(QStringLiteral("select * from NoSource")); }, &number);
        QCOMPARE(number, int(DataError::ParameterMissing));
    }

    void monthAndWeekdayNamesAndNamesBeyondAscii() {
        QCOMPARE(value(QStringLiteral("MonthName(2)")), QStringLiteral("February"));
        QCOMPARE(value(QStringLiteral("MonthName(12, True)")), QStringLiteral("Dec"));
        QCOMPARE(value(QStringLiteral("MonthName(Nothing)")), QStringLiteral("<null>"));
        QVERIFY(value(QStringLiteral("MonthName(13)")).contains(QStringLiteral("MonthName")));
        QCOMPARE(value(QStringLiteral("WeekdayName(1)")), QStringLiteral("Sunday"));
        QCOMPARE(value(QStringLiteral("WeekdayName(1, True, 2)")), QStringLiteral("Mon"));
        QCOMPARE(value(QStringLiteral("WeekdayName(7, False, 2)")), QStringLiteral("Sunday"));
        QCOMPARE(value(QStringLiteral("WeekdayName(Weekday(#2024-01-03#))")), QStringLiteral("Wednesday"));
        int number = 0;
        QVERIFY(errorOf([&] { run(QStringLiteral("select NoSuchThing(X) from One")); }, &number)
                    .contains(QStringLiteral("NoSuchThing")));
        QCOMPARE(number, int(DataError::UndefinedFunction));
        catalog.addTable(QStringLiteral("Договоры"), {"№соглашения", "Сумма"}, {{t("A-1"), n(5)}});
        QCOMPARE(run(QStringLiteral(
                     "select №соглашения, Сумма * 2 as Вдвое from Договоры where №соглашения = 'A-1'")),
                 QStringList{"A-1|10"});
    }

    // Values the query asks for and never gets: Forms! references and names in brackets no
    // source has, in stored queries and in texts.
    void formReferencesAreMissingParameters() {
        const auto numberOf = [&](const QString& text) {
            int number = 0;
            errorOf([&] { run(text); }, &number);
            return number;
        };
        QCOMPARE(numberOf(QStringLiteral("select Name from Customers where ID = Forms!frmPick!txtID")),
                 int(DataError::ParameterMissing));
        QueryDef def = stored("Picked", {{"Name", ""}}, {"Customers"});
        def.where = QStringLiteral("(((Customers.ID)=Forms!frmPick!txtID))");
        catalog.addQuery(def);
        QCOMPARE(numberOf(QStringLiteral("select * from Picked")), int(DataError::ParameterMissing));
        QueryDef asked = stored("Asked", {{"Name", ""}}, {"Customers"});
        asked.where = QStringLiteral("(((Customers.City)=[Enter a city]))");
        catalog.addQuery(asked);
        QCOMPARE(numberOf(QStringLiteral("select * from Asked")), int(DataError::ParameterMissing));
    }

    void queryThatUsesItself() {
        int number = 0;
        QueryDef self = stored("Self", {{"ID", ""}}, {"Self"});
        catalog.addQuery(self);
        QCOMPARE(errorOf([&] { run(QStringLiteral("select * from Self")); }, &number),
                 QStringLiteral("The stored query 'Self' uses itself (Self -> Self)."));
        QCOMPARE(number, int(DataError::UsesItself));
        catalog.addQuery(stored("A", {{"ID", ""}}, {"B"}));
        catalog.addQuery(stored("B", {{"ID", ""}}, {"C"}));
        QueryDef c = stored("C", {{"ID", ""}}, {"Customers"});
        c.where = QStringLiteral("ID In (SELECT ID FROM A)");
        catalog.addQuery(c);
        QVERIFY(errorOf([&] { run(QStringLiteral("select * from A")); }, &number)
                    .contains(QStringLiteral("A -> B -> C")));
        QCOMPARE(number, int(DataError::UsesItself));
        // The same query twice side by side is no cycle.
        QueryDef pair = stored("Pair", {{"L.ID", ""}}, {"B2", "B2"});
        pair.tables[0].alias = QStringLiteral("L");
        pair.tables[1].alias = QStringLiteral("R");
        pair.joins.push_back({QueryDef::JoinType::Inner, QStringLiteral("L"), QStringLiteral("R"),
                              QStringLiteral("L.ID = R.ID")});
        catalog.addQuery(pair);
        catalog.addQuery(stored("B2", {{"ID", ""}}, {"Customers"}));
        QCOMPARE(run(QStringLiteral("select * from Pair")).size(), 4);
    }

    // Texts nested deeper than the limit give one clear error before the stack runs out.
    void nestingTooDeepIsAnError() {
        int number = 0;
        const auto tooComplex = [&](const QString& text) {
            number = 0;
            const QString message = errorOf([&] { run(text); }, &number);
            return number == DataError::TooComplex && message.contains(QStringLiteral("200"));
        };
        QVERIFY(tooComplex(QStringLiteral("select * from One where ") + QString(15000, QLatin1Char('('))));
        QVERIFY(tooComplex(QStringLiteral("select * from One where ") +
                           QStringLiteral("not ").repeated(26000) + QStringLiteral("X = 1")));
        QVERIFY(tooComplex(QStringLiteral("select * from One where X = ") +
                           QStringLiteral("-").repeated(5000) + QStringLiteral("1")));
        QVERIFY(tooComplex(QStringLiteral("select * from One where X = 1") +
                           QStringLiteral(" + 1").repeated(5000)));
        QueryDef join = stored("Deep", {{"Customers.Name", ""}}, {"Customers", "Orders"});
        join.joins.push_back(
            {QueryDef::JoinType::Inner, QStringLiteral("Customers"), QStringLiteral("Orders"),
             QString(20000, QLatin1Char('(')) + QStringLiteral("Customers.ID = Orders.Customer") +
                 QString(20000, QLatin1Char(')'))});
        catalog.addQuery(join);
        QVERIFY(tooComplex(QStringLiteral("select * from Deep")));
        // What people write stays well inside: 60 levels, and a long flat list of conditions.
        QCOMPARE(run(QStringLiteral("select X from One where ") + QString(60, QLatin1Char('(')) +
                     QStringLiteral("X = 1") + QString(60, QLatin1Char(')'))),
                 QStringList{"1"});
        QCOMPARE(
            run(QStringLiteral("select X from One where X = 0") + QStringLiteral(" or X = 1").repeated(3000)),
            QStringList{"1"});
    }
};

QTEST_GUILESS_MAIN(QueryLanguageTest)
#include "tst_query_language.moc"
