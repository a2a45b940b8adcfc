#pragma once

#include "data/jet4/write/Writer.h"

#include <QString>
#include <vector>

namespace convodesk::testing {

// Builds the tables the Search and Database screens read. Every column holds text but
// Queue; tests change rows, Nulls and leave columns out as they need.
struct TasselContent {
    std::vector<jet4::WriterTable> tables;

    // Graduate(GraduateID, Name, Program_Desc, Queue)
    jet4::WriterTable& graduate();
    // Graduates(GraduateID, Name, IC, Programme, Faculty, Phone, Status, Audio, Queue)
    jet4::WriterTable& graduates();
    // Programme(Program_Code, Program_Desc, Program_Faculty)
    jet4::WriterTable& programme();

    // `count` graduates in both Graduate and Graduates, Queue 1..count (ids G00000000001...).
    void addNumberedGraduates(int count);
    void addNumberedProgrammes(int count);
    // Drops a column (and its values) from a table.
    void dropColumn(const QString& table, const QString& column);
};

TasselContent standardContent();

// Writes Tassel.mdb next to the running test program (where the screens look for it).
QString writeTassel(const TasselContent& content);
QString tasselPath();

} // namespace convodesk::testing
