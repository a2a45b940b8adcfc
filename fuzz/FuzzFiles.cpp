#include "FuzzFiles.h"

#include "data/jet4/write/Writer.h"
#include "data/query/eval/QueryGovernor.h"

#include <vector>

namespace convodesk::fuzz {

namespace {

using jet4::ColumnType;
using jet4::QueryDef;
using jet4::Value;
using jet4::WriterTable;

QueryDef::Column column(const char* expression, const char* alias = "") {
    return {QString::fromUtf8(expression), QString::fromUtf8(alias), 0};
}

QueryDef::Table table(const char* name, const char* alias = "") {
    return {QString::fromUtf8(name), QString::fromUtf8(alias), QString()};
}

QueryDef select(const char* name, std::vector<QueryDef::Column> columns,
                std::vector<QueryDef::Table> tables) {
    QueryDef q;
    q.name = QString::fromUtf8(name);
    q.columns = std::move(columns);
    q.tables = std::move(tables);
    return q;
}

QueryDef::Join join(QueryDef::JoinType type, const char* left, const char* right, const char* on) {
    return {type, QString::fromUtf8(left), QString::fromUtf8(right), QString::fromUtf8(on)};
}

std::vector<WriterTable> tables(bool graduateTable) {
    WriterTable graduates{QStringLiteral("Graduates"), {}, {}};
    for (const char* name : {"GraduateID", "Name", "IC", "Programme", "Faculty", "Phone", "Status", "Audio"})
        graduates.columns.push_back({QString::fromLatin1(name), ColumnType::Text, 255});
    graduates.columns.push_back({QStringLiteral("Queue"), ColumnType::Long, 0});
    graduates.columns.push_back({QStringLiteral("Notes"), ColumnType::Memo, 0});
    const QString names[] = {QStringLiteral("Aminah binti Ali"), QStringLiteral("Tan Wei Ming"),
                             QStringLiteral("Ravi a/l Kumar"),   QStringLiteral("Zoë O'Brien"),
                             QStringLiteral("李小龍"),           QString()};
    for (int i = 0; i < 300; ++i) {
        std::vector<Value> row;
        row.push_back(Value::text(QStringLiteral("2003%1").arg(i, 8, 10, QLatin1Char('0'))));
        const QString& name = names[i % 6];
        row.push_back(name.isEmpty() ? Value::null() : Value::text(name));
        row.push_back(Value::text(QStringLiteral("8001%1").arg(i, 8, 10, QLatin1Char('0'))));
        row.push_back(i % 7 == 6 ? Value::null() : Value::text(QStringLiteral("P%1").arg(i % 5)));
        row.push_back(Value::text(QStringLiteral("Faculty of Sciences")));
        row.push_back(i % 3 ? Value::text(QStringLiteral("017-873618%1").arg(i % 10)) : Value::null());
        row.push_back(Value::text(i % 2 ? QStringLiteral("Attending") : QStringLiteral("Absent")));
        row.push_back(Value::text(QStringLiteral("CV%1").arg(i % 30)));
        row.push_back(i % 11 == 0 ? Value::null() : Value::integer((300 - i) % 97));
        row.push_back(i % 50 == 0 ? Value::text(QString(200, QLatin1Char('n'))) : Value::null());
        graduates.rows.push_back(std::move(row));
    }
    WriterTable programmes{QStringLiteral("Programme"), {}, {}};
    for (const char* name : {"Program_Code", "Program_Desc", "Program_Faculty"})
        programmes.columns.push_back({QString::fromLatin1(name), ColumnType::Text, 255});
    for (int p = 0; p < 4; ++p)
        programmes.rows.push_back({Value::text(QStringLiteral("p%1").arg(p)),
                                   Value::text(QStringLiteral("Diploma %1").arg(4 - p)),
                                   p == 2 ? Value::null() : Value::text(QStringLiteral("FSC"))});
    std::vector<WriterTable> all{graduates, programmes};
    if (graduateTable) {
        WriterTable graduate{QStringLiteral("Graduate"), {}, {}};
        for (const char* name : {"GraduateID", "Name", "Program_Desc", "Faculty"})
            graduate.columns.push_back({QString::fromLatin1(name), ColumnType::Text, 255});
        graduate.columns.push_back({QStringLiteral("Queue"), ColumnType::Long, 0});
        for (const auto& g : graduates.rows)
            graduate.rows.push_back({g[0], g[1], Value::text(QStringLiteral("Diploma")), g[4], g[8]});
        all.push_back(graduate);
    }
    return all;
}

// Graduates, Programme and Programme again joined in a circle by three join rows.
QueryDef ringQuery(const char* name, bool outer) {
    using JT = QueryDef::JoinType;
    QueryDef ring = select(name,
                           {column("G.GraduateID"), column("G.Name"), column("P.Program_Desc"),
                            column("G.Faculty"), column("G.Queue")},
                           {table("Graduates", "G"), table("Programme", "P"), table("Programme", "Q")});
    ring.joins.push_back(join(JT::Inner, "G", "P", "G.Programme = P.Program_Code"));
    ring.joins.push_back(join(outer ? JT::Left : JT::Inner, "P", "Q", "P.Program_Code = Q.Program_Code"));
    ring.joins.push_back(
        join(JT::Inner, "Q", "G", "Q.Program_Code = G.Programme AND Q.Program_Faculty Is Not Null"));
    ring.orderBy.push_back({QStringLiteral("G.Queue"), false});
    return ring;
}

// 31 stored queries, each a UNION ALL of the one below it and the graduates of one queue
// number; the top one is named `top`.
std::vector<QueryDef> unionChain(const QString& top) {
    constexpr int kLevels = 31;
    const QString part = QStringLiteral("SELECT GraduateID, Name, Programme AS Program_Desc, Faculty, Queue "
                                        "FROM Graduates WHERE Queue = %1");
    std::vector<QueryDef> chain;
    for (int level = 1; level <= kLevels; ++level) {
        QueryDef def;
        def.name = level == kLevels ? top : QStringLiteral("%1Chain%2").arg(top).arg(level);
        def.kind = QueryDef::Kind::Union; // flag 2 clear: UNION ALL
        const QString below =
            level == 1 ? part.arg(0) : QStringLiteral("SELECT * FROM %1Chain%2").arg(top).arg(level - 1);
        def.tables = {{{}, QStringLiteral("Below"), below}, {{}, QStringLiteral("More"), part.arg(level)}};
        chain.push_back(std::move(def));
    }
    return chain;
}

std::vector<QueryDef> queries() {
    using JT = QueryDef::JoinType;
    std::vector<QueryDef> all;
    QueryDef graduate =
        select("Graduate",
               {column("Graduates.GraduateID"), column("Graduates.Name"), column("Programme.Program_Desc"),
                column("Graduates.Faculty"), column("Graduates.Queue")},
               {table("Graduates"), table("Programme")});
    graduate.joins.push_back(
        join(JT::Left, "Graduates", "Programme", "Graduates.Programme = Programme.Program_Code"));
    all.push_back(graduate);

    QueryDef inner =
        select("InnerSorted", {column("G.Name", "Who"), column("P.Program_Desc"), column("G.Queue")},
               {table("Graduates", "G"), table("Programme", "P")});
    inner.joins.push_back(join(JT::Inner, "G", "P", "(G.Programme=P.Program_Code)"));
    inner.where = QStringLiteral("(((G.Queue)>3) AND ((G.Name) Is Not Null))");
    inner.orderBy.push_back({QStringLiteral("P.Program_Desc"), true});
    inner.orderBy.push_back({QStringLiteral("G.Queue"), false});
    all.push_back(inner);

    QueryDef right = select("RightJoin", {column("Programme.Program_Code"), column("Graduates.Name")},
                            {table("Graduates"), table("Programme")});
    right.joins.push_back(
        join(JT::Right, "Graduates", "Programme", "Graduates.Programme = Programme.Program_Code"));
    all.push_back(right);

    QueryDef star = select("AllOfThem", {}, {table("Graduates")});
    star.selectFlags = QueryDef::AllFields;
    star.where = QStringLiteral("((Graduates.Name) Like \"*a?i*\" Or (Graduates.Status)='Absent')");
    all.push_back(star);

    QueryDef distinct = select("Faculties", {column("Graduate.Faculty")}, {table("Graduate")});
    distinct.selectFlags = QueryDef::Distinct;
    distinct.orderBy.push_back({QStringLiteral("Graduate.Faculty"), false});
    all.push_back(distinct);

    QueryDef nested =
        select("Nested", {column("InnerSorted.Who"), column("InnerSorted.Queue")}, {table("InnerSorted")});
    nested.where = QStringLiteral("(((InnerSorted.Who) Not Like \"T*\"))");
    all.push_back(nested);

    QueryDef deeper = select("Deeper", {column("Nested.Who", "Name")}, {table("Nested")});
    deeper.orderBy.push_back({QStringLiteral("Nested.Queue"), true});
    all.push_back(deeper);

    QueryDef top = select("TopFive", {column("Graduates.Name")}, {table("Graduates")});
    top.selectFlags = QueryDef::Top;
    top.top = QStringLiteral("5");
    all.push_back(top);

    QueryDef grouped = select("ByProgramme", {column("Graduates.Programme")}, {table("Graduates")});
    grouped.groupBy.push_back(QStringLiteral("Graduates.Programme"));
    all.push_back(grouped);

    QueryDef parameters = select("Asking", {column("Graduates.Name")}, {table("Graduates")});
    parameters.parameters.push_back({QStringLiteral("Which"), 10});
    parameters.where = QStringLiteral("Graduates.GraduateID=[Which]");
    all.push_back(parameters);

    all.push_back(ringQuery("Ring", false));
    all.push_back(ringQuery("OuterRing", true));
    for (QueryDef& def : unionChain(QStringLiteral("UnionChain")))
        all.push_back(std::move(def));
    return all;
}

} // namespace

void writeQueryShapesFile(const QString& path) {
    jet4::writeDatabase(path, tables(false), queries());
}

void writeGraduateTableFile(const QString& path) {
    jet4::writeDatabase(path, tables(true), {});
}

void writeJoinRingFile(const QString& path, bool outer) {
    jet4::writeDatabase(path, tables(false), {ringQuery("Graduate", outer)});
}

void writeUnionChainFile(const QString& path) {
    jet4::writeDatabase(path, tables(false), unionChain(QStringLiteral("Graduate")));
}

void limitQueries() {
    data::query::QueryLimits::setStandard({std::chrono::seconds(2), std::int64_t(512) << 20});
}

} // namespace convodesk::fuzz
