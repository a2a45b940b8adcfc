#include "GraduateTables.h"

#include "CsvError.h"
#include "data/DeskSchema.h"
#include "data/jet4/IndexKey.h"

#include <QHash>
#include <limits>

namespace convodesk::dbtool {

using jet4::ColumnType;
using jet4::Value;
using jet4::WriterColumn;
using jet4::WriterTable;
namespace desk = data::desk;

namespace {

Value queueValue(const CsvTable& csv, std::size_t row, int column, const CsvTable::Field& field) {
    if (!field || field->trimmed().isEmpty())
        return Value::null();
    bool ok = false;
    const qlonglong n = field->trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        throw CsvError::atNamed(csv.fileName, csv.rowLines[row], column + 1, csv.header[column],
                                QStringLiteral("\"%1\" is not a whole number from %2 to %3.")
                                    .arg(*field)
                                    .arg(std::numeric_limits<std::int32_t>::min())
                                    .arg(std::numeric_limits<std::int32_t>::max()));
    return Value::integer(n);
}
} // namespace

const QStringList& GraduateTables::graduateColumns() {
    static const QStringList names = desk::nameList(desk::kGraduatesFieldsUsed);
    return names;
}

const QStringList& GraduateTables::programmeColumns() {
    static const QStringList names = desk::nameList(desk::kProgrammeFieldsUsed);
    return names;
}

WriterTable GraduateTables::toTable(const CsvTable& csv, const QString& tableName,
                                    const QStringList& required, const QString& longColumn) {
    // Source column of each table column: the required ones first, then the extras in file order.
    std::vector<int> source;
    QStringList names;
    for (const QString& name : required) {
        const int index = csv.columnIndex(name);
        if (index < 0)
            throw CsvError::at(csv.fileName, 1, 0,
                               QStringLiteral("the required column \"%1\" is missing.").arg(name));
        source.push_back(index);
        names.append(name);
    }
    for (int i = 0; i < csv.header.size(); ++i) {
        if (const QString problem = jet4::objectNameProblem(csv.header[i]); !problem.isEmpty())
            throw CsvError::atNamed(csv.fileName, 1, i + 1, csv.header[i], problem);
        if (std::find(source.begin(), source.end(), i) == source.end()) {
            source.push_back(i);
            names.append(csv.header[i]);
        }
    }
    WriterTable table;
    table.name = tableName;
    for (const QString& name : names)
        table.columns.push_back(
            {name, name == longColumn ? ColumnType::Long : ColumnType::Text, kMaxTextLength});
    table.rows.reserve(csv.rows.size());
    for (std::size_t r = 0; r < csv.rows.size(); ++r) {
        std::vector<Value> values;
        values.reserve(source.size());
        for (std::size_t c = 0; c < source.size(); ++c) {
            const int col = source[c];
            const CsvTable::Field& field = csv.rows[r][static_cast<std::size_t>(col)];
            if (table.columns[c].type == ColumnType::Long) {
                values.push_back(queueValue(csv, r, col, field));
                continue;
            }
            if (!field) {
                values.push_back(Value::null());
                continue;
            }
            if (field->size() > kMaxTextLength)
                throw CsvError::atNamed(csv.fileName, csv.rowLines[r], col + 1, csv.header[col],
                                        QStringLiteral("the text has %1 characters; at most %2 are allowed.")
                                            .arg(field->size())
                                            .arg(kMaxTextLength));
            values.push_back(Value::text(*field));
        }
        if (const int bytes = jet4::storedRowBytes(table.columns, values); bytes > jet4::maxRowBytes())
            throw CsvError::at(
                csv.fileName, csv.rowLines[r], 0,
                QStringLiteral("the row's fields take %1 bytes together (2 a character); a row can "
                               "hold at most %2. Shorten the longest fields.")
                    .arg(bytes)
                    .arg(jet4::maxRowBytes()));
        table.rows.push_back(std::move(values));
    }
    return table;
}

void GraduateTables::setPrimaryKey(const CsvTable& csv, WriterTable& table, const QString& keyColumn) {
    // Keys as the index holds them: texts differing only in letter case or trailing spaces
    // are the same key, which the index cannot hold twice.
    const int csvColumn = csv.columnIndex(keyColumn);
    const auto found = std::find_if(table.columns.begin(), table.columns.end(),
                                    [&](const WriterColumn& c) { return c.name == keyColumn; });
    const auto column = static_cast<std::size_t>(found - table.columns.begin());
    const auto fieldText = [&](std::size_t row) {
        return csv.rows[row][static_cast<std::size_t>(csvColumn)].value_or(QString());
    };
    jet4::ColumnDef def;
    def.type = found->type;
    QHash<QByteArray, std::size_t> firstRow;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const Value& value = table.rows[r][column];
        const auto problem = [&](const QString& text) {
            return CsvError::atNamed(csv.fileName, csv.rowLines[r], csvColumn + 1, csv.header[csvColumn],
                                     text);
        };
        jet4::IndexKey::Buffer key;
        if (value.isNull() || !jet4::IndexKey::append(def, true, value, key))
            throw problem(QStringLiteral("the primary key needs a value in every row."));
        const QByteArray bytes(reinterpret_cast<const char*>(key.data()), key.size());
        const auto seen = firstRow.constFind(bytes);
        if (seen != firstRow.cend())
            throw problem(
                QStringLiteral("\"%1\" is already on line %2 (%3); each row needs its own value (letter "
                               "case and trailing spaces do not count).")
                    .arg(fieldText(r))
                    .arg(csv.rowLines[*seen])
                    .arg(fieldText(*seen)));
        firstRow.insert(bytes, r);
    }
    table.primaryKey = {keyColumn};
}

jet4::QueryDef GraduateTables::graduateQuery() {
    jet4::QueryDef q;
    static constexpr auto graduates = desk::kGraduatesTable + ".";
    static constexpr auto programme = desk::kProgrammeTable + ".";
    q.name = desk::kGraduateQuery;
    q.kind = jet4::QueryDef::Kind::Select;
    for (const QString& column : {QString(graduates + desk::kGraduateId), QString(graduates + desk::kName),
                                  QString(programme + desk::kProgramDesc),
                                  QString(graduates + desk::kFaculty), QString(graduates + desk::kQueue)})
        q.columns.push_back({column, QString(), 0});
    q.tables.push_back({desk::kGraduatesTable, QString(), QString()});
    q.tables.push_back({desk::kProgrammeTable, QString(), QString()});
    q.joins.push_back({jet4::QueryDef::JoinType::Left, desk::kGraduatesTable, desk::kProgrammeTable,
                       graduates + desk::kProgramme + " = " + programme + desk::kProgramCode});
    return q;
}

WriterTable GraduateTables::graduateTable(const WriterTable& graduates, const WriterTable& programmes) {
    // The rows of the LEFT JOIN: one per matching programme, or one with a Null description.
    // Jet compares text without regard to letter case.
    QHash<QString, std::vector<Value>> descriptions;
    constexpr std::size_t programCode = desk::indexOf(desk::kProgrammeFieldsUsed, desk::kProgramCode.view());
    constexpr std::size_t programDesc = desk::indexOf(desk::kProgrammeFieldsUsed, desk::kProgramDesc.view());
    for (const auto& row : programmes.rows) {
        if (!row[programCode].isNull())
            descriptions[row[programCode].asText().toCaseFolded()].push_back(row[programDesc]);
    }
    // The graduates' columns start with the required ones, in the header's order.
    constexpr auto at = [](const auto& field) {
        return desk::indexOf(desk::kGraduatesFieldsUsed, field.view());
    };
    constexpr std::size_t id = at(desk::kGraduateId), name = at(desk::kName), code = at(desk::kProgramme),
                          faculty = at(desk::kFaculty), queue = at(desk::kQueue);
    WriterTable t;
    t.name = desk::kGraduateQuery;
    for (QStringView field : desk::kGraduateQueryFields) {
        const bool isQueue = field == desk::kQueue.view();
        t.columns.push_back(
            {field.toString(), isQueue ? ColumnType::Long : ColumnType::Text, isQueue ? 0 : kMaxTextLength});
    }
    for (const auto& g : graduates.rows) {
        const auto match =
            g[code].isNull() ? descriptions.cend() : descriptions.constFind(g[code].asText().toCaseFolded());
        if (match == descriptions.cend()) {
            t.rows.push_back({g[id], g[name], Value::null(), g[faculty], g[queue]}); // kGraduateQueryFields
            continue;
        }
        for (const Value& description : *match)
            t.rows.push_back({g[id], g[name], description, g[faculty], g[queue]});
    }
    return t;
}

GraduateTables::Output GraduateTables::build(const CsvTable& graduates, const CsvTable& programmes,
                                             bool graduateAsTable) {
    Output out;
    out.tables.push_back(toTable(graduates, desk::kGraduatesTable, graduateColumns(), desk::kQueue));
    setPrimaryKey(graduates, out.tables.back(), desk::kGraduateId);
    out.tables.push_back(toTable(programmes, desk::kProgrammeTable, programmeColumns(), QString()));
    setPrimaryKey(programmes, out.tables.back(), desk::kProgramCode);
    if (graduateAsTable)
        out.tables.push_back(graduateTable(out.tables[0], out.tables[1]));
    else
        out.queries.push_back(graduateQuery());
    return out;
}

} // namespace convodesk::dbtool
