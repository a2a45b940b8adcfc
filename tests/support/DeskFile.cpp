#include "DeskFile.h"

#include "Values.h"
#include "convodesk-db/GraduateTables.h"
#include "data/DeskSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>

namespace convodesk::testing {

namespace desk = data::desk;
using jet4::ColumnType;
using jet4::Value;

namespace {

template <std::size_t N> std::vector<jet4::WriterColumn> columnsOf(const std::array<QStringView, N>& fields) {
    std::vector<jet4::WriterColumn> columns;
    for (QStringView field : fields) {
        const bool queue = field == desk::kQueue.view();
        columns.push_back({field.toString(), queue ? ColumnType::Long : ColumnType::Text,
                           queue ? 0 : dbtool::GraduateTables::kMaxTextLength});
    }
    return columns;
}

} // namespace

jet4::WriterTable& DeskFile::table(const QString& name, const std::vector<jet4::WriterColumn>& columns) {
    for (auto& table : tables_)
        if (table.name == name)
            return table;
    tables_.push_back({name, columns, {}, {}});
    return tables_.back();
}

jet4::WriterTable& DeskFile::graduates() {
    return table(desk::kGraduatesTable, columnsOf(desk::kGraduatesFieldsUsed));
}

jet4::WriterTable& DeskFile::programme() {
    return table(desk::kProgrammeTable, columnsOf(desk::kProgrammeFieldsUsed));
}

jet4::WriterTable& DeskFile::graduateTable() {
    return table(desk::kGraduateQuery, columnsOf(desk::kGraduateQueryFields));
}

void DeskFile::addGraduateQuery() {
    addGraduateQuery(dbtool::GraduateTables::graduateQuery());
}

void DeskFile::addGraduateQuery(const jet4::QueryDef& query) {
    queries_.push_back(query);
}

void DeskFile::addNumberedGraduates(int count) {
    for (int i = 1; i <= count; ++i) {
        const QString id = QStringLiteral("G%1").arg(i, 11, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("Graduate %1").arg(i);
        graduateTable().rows.push_back({t(id), t(name), t("Diploma"), t("FTK"), n(i)});
        graduates().rows.push_back({t(id), t(name), t(QStringLiteral("IC%1").arg(i)), t("DIP"), t("FTK"),
                                    t(QStringLiteral("012-%1").arg(i)), t("A"), t("Y"), n(i)});
    }
}

void DeskFile::addNumberedProgrammes(int count) {
    for (int i = 1; i <= count; ++i)
        programme().rows.push_back({t(QStringLiteral("P%1").arg(i)),
                                    t(QStringLiteral("Programme %1").arg(i, 5, 10, QLatin1Char('0'))),
                                    t("FTK")});
}

void DeskFile::dropColumn(const QString& tableName, const QString& column) {
    for (auto& table : tables_) {
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

QString DeskFile::write(const QString& path) const {
    QFile::remove(path);
    jet4::writeDatabase(path, {tables_.begin(), tables_.end()}, queries_);
    return path;
}

QString DeskFile::besideProgram() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(desk::kDatabaseFile);
}

QString DeskFile::writeBesideProgram() const {
    return write(besideProgram());
}

DeskFile DeskFile::made(const std::vector<std::vector<Value>>& graduates, const jet4::QueryDef* graduate) {
    DeskFile file;
    jet4::WriterTable& people = file.graduates();
    const std::array given{desk::kGraduateId.view(), desk::kName.view(), desk::kProgramme.view(),
                           desk::kQueue.view()};
    for (const auto& fields : graduates) {
        std::vector<Value> row(people.columns.size());
        for (std::size_t c = 0; c < people.columns.size(); ++c) {
            const QString& name = people.columns[c].name;
            const std::size_t at = desk::indexOf(given, name);
            if (at < given.size())
                row[c] = fields[at];
            else if (name == desk::kFaculty.view())
                row[c] = t("FSC");
        }
        people.rows.push_back(std::move(row));
    }
    for (int p = 0; p < 19; ++p)
        file.programme().rows.push_back(
            {t(QStringLiteral("P%1").arg(p)),
             t(QStringLiteral("Programme %1").arg(18 - p, 2, 10, QLatin1Char('0'))), t("FSC")});
    if (graduate)
        file.addGraduateQuery(*graduate);
    else
        file.addGraduateQuery();
    return file;
}

DeskFile DeskFile::made(int count) {
    std::vector<std::vector<Value>> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows.push_back({t(QStringLiteral("2003%1").arg(i, 8, 10, QLatin1Char('0'))),
                        t(QStringLiteral("Graduate %1").arg(i)), t(QStringLiteral("P%1").arg(i % 20)),
                        n((count - i) % 1000)});
    return made(rows);
}

DeskFile DeskFile::homeGraduates() {
    DeskFile file;
    file.graduateTable().rows = {
        {t("ABC123456789"), t("  Ahmad Faris bin Ismail  "), t(" Diploma in Accounting "), t("FTK"), n(1)},
        {t("DEF987654321"), t("Siti\tAminah "), t("Certificate in Culinary Arts"), t("FTK"), n(2)},
        {t("NUL000000001"), Value::null(), t("Diploma in Nursing"), t("FTK"), n(3)},
        {t("NUL000000002"), t("Lim Wei Jie"), Value::null(), t("FTK"), n(4)},
        {t("O'1234567890"), t("Daniel O'Brien"), t("Diploma in Marketing"), t("FTK"), n(5)},
    };
    return file;
}

DeskFile DeskFile::screenContent() {
    DeskFile file;
    file.graduateTable().rows = {
        {t("ABC123456789"), t("Ahmad Faris"), t("Diploma in IT"), t("FTK"), n(3)},
        {t("DEF987654321"), t("Daniel O'Brien"), t("Diploma in Marketing"), t("FTK"), n(1)},
        {t("XYZ555000111"), t("Siti Aminah"), t("Cert in Culinary"), t("FTK"), n(2)},
        {t("NUL000000001"), Value::null(), t("Diploma in Nursing"), t("FTK"), n(4)},
        {t("MOH'D0000001"), t("Mohd 100% Ali"), t("Diploma_IT"), t("FTK"), n(5)},
    };
    const auto g = [](const char* id, Value name, const char* ic, Value phone, int queue) {
        return std::vector<Value>{t(id),     std::move(name), t(ic),   t("DIT"), t("FTK"), std::move(phone),
                                  t("Paid"), t("Yes"),        n(queue)};
    };
    file.graduates().rows = {
        g("ABC123456789", t("Ahmad Faris"), "900101-01-1111", t("012-3456789"), 2),
        g("DEF987654321", Value::null(), "910202-02-2222", Value::null(), 1),
        g("XYZ555000111", t("Siti Aminah"), "920303-03-3333", t(QString()), 3),
        g("BLK000000001", t("Blank Phone"), "930404-04-4444", t("   "), 4),
    };
    file.programme().rows = {
        {t("DIT"), t("Diploma in IT"), t("FTK")},
        {t("CCA"), t("Certificate in Culinary Arts"), Value::null()},
        {t("DMK"), t("Diploma in Marketing"), t("FPP")},
    };
    return file;
}

} // namespace convodesk::testing
