#include "ScreenFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>

namespace convodesk::testing {

using jet4::ColumnType;
using jet4::Value;

namespace {

jet4::WriterTable& tableNamed(std::vector<jet4::WriterTable>& tables, const QString& name,
                              const std::vector<jet4::WriterColumn>& columns) {
    for (auto& table : tables)
        if (table.name == name)
            return table;
    tables.push_back({name, columns, {}});
    return tables.back();
}

Value t(const QString& text) {
    return Value::text(text);
}

} // namespace

jet4::WriterTable& TasselContent::graduate() {
    return tableNamed(tables, QStringLiteral("Graduate"),
                      {{QStringLiteral("GraduateID"), ColumnType::Text, 12},
                       {QStringLiteral("Name"), ColumnType::Text, 100},
                       {QStringLiteral("Program_Desc"), ColumnType::Text, 200},
                       {QStringLiteral("Queue"), ColumnType::Long, 0}});
}

jet4::WriterTable& TasselContent::graduates() {
    std::vector<jet4::WriterColumn> columns;
    for (const char* name : {"GraduateID", "Name", "IC", "Programme", "Faculty", "Phone", "Status", "Audio"})
        columns.push_back({QString::fromLatin1(name), ColumnType::Text, 100});
    columns.push_back({QStringLiteral("Queue"), ColumnType::Long, 0});
    return tableNamed(tables, QStringLiteral("Graduates"), columns);
}

jet4::WriterTable& TasselContent::programme() {
    return tableNamed(tables, QStringLiteral("Programme"),
                      {{QStringLiteral("Program_Code"), ColumnType::Text, 20},
                       {QStringLiteral("Program_Desc"), ColumnType::Text, 200},
                       {QStringLiteral("Program_Faculty"), ColumnType::Text, 50}});
}

void TasselContent::addNumberedGraduates(int count) {
    for (int i = 1; i <= count; ++i) {
        const QString id = QStringLiteral("G%1").arg(i, 11, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("Graduate %1").arg(i);
        graduate().rows.push_back({t(id), t(name), t(QStringLiteral("Diploma")), Value::integer(i)});
        graduates().rows.push_back({t(id), t(name), t(QStringLiteral("IC%1").arg(i)),
                                    t(QStringLiteral("DIP")), t(QStringLiteral("FTK")),
                                    t(QStringLiteral("012-%1").arg(i)), t(QStringLiteral("A")),
                                    t(QStringLiteral("Y")), Value::integer(i)});
    }
}

void TasselContent::addNumberedProgrammes(int count) {
    for (int i = 1; i <= count; ++i)
        programme().rows.push_back({t(QStringLiteral("P%1").arg(i)),
                                    t(QStringLiteral("Programme %1").arg(i, 5, 10, QLatin1Char('0'))),
                                    t(QStringLiteral("FTK"))});
}

void TasselContent::dropColumn(const QString& tableName, const QString& column) {
    for (auto& table : tables) {
        if (table.name != tableName)
            continue;
        const auto it = std::find_if(table.columns.begin(), table.columns.end(),
                                     [&](const jet4::WriterColumn& c) { return c.name == column; });
        if (it == table.columns.end())
            return;
        const auto index = it - table.columns.begin();
        table.columns.erase(it);
        for (auto& row : table.rows)
            row.erase(row.begin() + index);
    }
}

TasselContent standardContent() {
    TasselContent content;
    // Queue order differs from insertion order on purpose.
    content.graduate().rows = {
        {t(QStringLiteral("ABC123456789")), t(QStringLiteral("Ahmad Faris")),
         t(QStringLiteral("Diploma in IT")), Value::integer(3)},
        {t(QStringLiteral("DEF987654321")), t(QStringLiteral("Daniel O'Brien")),
         t(QStringLiteral("Diploma in Marketing")), Value::integer(1)},
        {t(QStringLiteral("XYZ555000111")), t(QStringLiteral("Siti Aminah")),
         t(QStringLiteral("Cert in Culinary")), Value::integer(2)},
        {t(QStringLiteral("NUL000000001")), Value::null(), t(QStringLiteral("Diploma in Nursing")),
         Value::integer(4)},
        {t(QStringLiteral("MOH'D0000001")), t(QStringLiteral("Mohd 100% Ali")),
         t(QStringLiteral("Diploma_IT")), Value::integer(5)},
    };
    const auto g = [](const char* id, Value name, const char* ic, Value phone, int queue) {
        return std::vector<Value>{
            t(QString::fromLatin1(id)), std::move(name),          t(QString::fromLatin1(ic)),
            t(QStringLiteral("DIT")),   t(QStringLiteral("FTK")), std::move(phone),
            t(QStringLiteral("Paid")),  t(QStringLiteral("Yes")), Value::integer(queue)};
    };
    content.graduates().rows = {
        g("ABC123456789", t(QStringLiteral("Ahmad Faris")), "900101-01-1111",
          t(QStringLiteral("012-3456789")), 2),
        g("DEF987654321", Value::null(), "910202-02-2222", Value::null(), 1),
        g("XYZ555000111", t(QStringLiteral("Siti Aminah")), "920303-03-3333", t(QString()), 3),
        g("BLK000000001", t(QStringLiteral("Blank Phone")), "930404-04-4444", t(QStringLiteral("   ")), 4),
    };
    content.programme().rows = {
        {t(QStringLiteral("DIT")), t(QStringLiteral("Diploma in IT")), t(QStringLiteral("FTK"))},
        {t(QStringLiteral("CCA")), t(QStringLiteral("Certificate in Culinary Arts")), Value::null()},
        {t(QStringLiteral("DMK")), t(QStringLiteral("Diploma in Marketing")), t(QStringLiteral("FPP"))},
    };
    return content;
}

QString tasselPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Tassel.mdb"));
}

QString writeTassel(const TasselContent& content) {
    QString path = tasselPath();
    QFile::remove(path);
    jet4::writeDatabase(path, content.tables, {});
    return path;
}

} // namespace convodesk::testing
