#include "GraduateFixture.h"

#include "data/jet4/write/Writer.h"

#include <QCoreApplication>
#include <QDir>

namespace convodesk::testing {

std::vector<GraduateRow> standardGraduates() {
    using jet4::Value;
    return {
        {QStringLiteral("ABC123456789"), Value::text(QStringLiteral("  Ahmad Faris bin Ismail  ")),
         Value::text(QStringLiteral(" Diploma in Accounting "))},
        {QStringLiteral("DEF987654321"), Value::text(QStringLiteral("Siti\tAminah ")),
         Value::text(QStringLiteral("Certificate in Culinary Arts"))},
        {QStringLiteral("NUL000000001"), Value::null(), Value::text(QStringLiteral("Diploma in Nursing"))},
        {QStringLiteral("NUL000000002"), Value::text(QStringLiteral("Lim Wei Jie")), Value::null()},
        {QStringLiteral("O'1234567890"), Value::text(QStringLiteral("Daniel O'Brien")),
         Value::text(QStringLiteral("Diploma in Marketing"))},
    };
}

QString tasselMdbPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Tassel.mdb"));
}

QString writeTasselMdb(const std::vector<GraduateRow>& rows) {
    jet4::WriterTable table;
    table.name = QStringLiteral("Graduate");
    table.columns = {{QStringLiteral("GraduateID"), jet4::ColumnType::Text, 12},
                     {QStringLiteral("Name"), jet4::ColumnType::Text, 100},
                     {QStringLiteral("Program_Desc"), jet4::ColumnType::Text, 200},
                     {QStringLiteral("Faculty"), jet4::ColumnType::Text, 50},
                     {QStringLiteral("Queue"), jet4::ColumnType::Long, 0}};
    std::int64_t queue = 0;
    for (const GraduateRow& row : rows)
        table.rows.push_back({jet4::Value::text(row.id), row.name, row.programme,
                              jet4::Value::text(QStringLiteral("FTK")), jet4::Value::integer(++queue)});
    QString path = tasselMdbPath();
    QFile::remove(path);
    jet4::writeDatabase(path, {table}, {});
    return path;
}

} // namespace convodesk::testing
