#include "GraduateFile.h"

#include "convodesk-db/GraduateTables.h"
#include "data/jet4/write/Writer.h"

namespace convodesk::data::test {

using jet4::ColumnType;
using jet4::Value;

void writeGraduateFile(const QString& path, const std::vector<std::vector<Value>>& graduates,
                       const jet4::QueryDef* graduate) {
    jet4::WriterTable people{QStringLiteral("Graduates"), {}, {}};
    for (const QString& name : dbtool::GraduateTables::graduateColumns())
        people.columns.push_back(
            {name, name == QLatin1String("Queue") ? ColumnType::Long : ColumnType::Text, 255});
    for (const auto& given : graduates) {
        std::vector<Value> row(people.columns.size());
        for (std::size_t c = 0; c < people.columns.size(); ++c) {
            const QString& name = people.columns[c].name;
            if (name == QLatin1String("GraduateID"))
                row[c] = given[0];
            else if (name == QLatin1String("Name"))
                row[c] = given[1];
            else if (name == QLatin1String("Programme"))
                row[c] = given[2];
            else if (name == QLatin1String("Queue"))
                row[c] = given[3];
            else if (name == QLatin1String("Faculty"))
                row[c] = Value::text(QStringLiteral("FSC"));
        }
        people.rows.push_back(std::move(row));
    }
    jet4::WriterTable programmes{QStringLiteral("Programme"), {}, {}};
    for (const QString& name : dbtool::GraduateTables::programmeColumns())
        programmes.columns.push_back({name, ColumnType::Text, 255});
    for (int p = 0; p < 19; ++p)
        programmes.rows.push_back(
            {Value::text(QStringLiteral("P%1").arg(p)),
             Value::text(QStringLiteral("Programme %1").arg(18 - p, 2, 10, QLatin1Char('0'))),
             Value::text(QStringLiteral("FSC"))});
    jet4::writeDatabase(path, {people, programmes}, {graduate ? *graduate : dbtool::GraduateTables::graduateQuery()});
}

void writeGraduateFile(const QString& path, int count) {
    std::vector<std::vector<Value>> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows.push_back({Value::text(QStringLiteral("2003%1").arg(i, 8, 10, QLatin1Char('0'))),
                        Value::text(QStringLiteral("Graduate %1").arg(i)),
                        Value::text(QStringLiteral("P%1").arg(i % 20)), Value::integer((count - i) % 1000)});
    writeGraduateFile(path, rows);
}

} // namespace convodesk::data::test
