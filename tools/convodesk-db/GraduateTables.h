#pragma once

#include "CsvTable.h"
#include "data/jet4/QueryDef.h"
#include "data/jet4/write/Writer.h"

#include <vector>

namespace convodesk::dbtool {

// Turns the graduates and programmes CSV files into the tables and the stored query of a
// desk database. Throws CsvError naming the file, line and column for bad input.
class GraduateTables {
public:
    static const QStringList&
    graduateColumns(); // GraduateID, Name, IC, Programme, Faculty, Phone, Status, Audio, Queue
    static const QStringList& programmeColumns(); // Program_Code, Program_Desc, Program_Faculty
    static constexpr int kMaxTextLength = 255;

    struct Output {
        std::vector<jet4::WriterTable> tables;
        std::vector<jet4::QueryDef> queries;
    };
    // graduateAsTable: write `Graduate` as a plain table instead of the stored query.
    static Output build(const CsvTable& graduates, const CsvTable& programmes, bool graduateAsTable);

    static jet4::QueryDef graduateQuery();

private:
    static jet4::WriterTable toTable(const CsvTable& csv, const QString& tableName,
                                     const QStringList& required, const QString& longColumn);
    // Makes `keyColumn` the table's primary key; throws CsvError for a row without a value in
    // it or with the same key as an earlier row.
    static void setPrimaryKey(const CsvTable& csv, jet4::WriterTable& table, const QString& keyColumn);
    static jet4::WriterTable graduateTable(const jet4::WriterTable& graduates,
                                           const jet4::WriterTable& programmes);
};

} // namespace convodesk::dbtool
