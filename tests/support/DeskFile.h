#pragma once

#include "data/jet4/QueryDef.h"
#include "data/jet4/Value.h"
#include "data/jet4/write/Writer.h"

#include <QString>
#include <deque>
#include <vector>

namespace convodesk::testing {

// A desk database for a test to write, table by table: Graduates and Programme as
// `convodesk-db make` writes them, the stored query Graduate over them, or Graduate as a table
// of the rows that query gives. Every field holds text but Queue. A table is added, with all its
// fields and no rows, when it is first asked for; tests fill rows, put Nulls, leave tables or
// fields out as they need.
class DeskFile {
public:
    // Graduates(GraduateID, Name, IC, Programme, Faculty, Phone, Status, Audio, Queue)
    jet4::WriterTable& graduates();
    // Programme(Program_Code, Program_Desc, Program_Faculty)
    jet4::WriterTable& programme();
    // Graduate as a table: GraduateID, Name, Program_Desc, Faculty, Queue.
    jet4::WriterTable& graduateTable();
    // The stored query Graduate: the one `make` writes, or the one given.
    void addGraduateQuery();
    void addGraduateQuery(const jet4::QueryDef& query);

    // `count` graduates G00000000001... in both Graduate and Graduates, Queue 1..count.
    void addNumberedGraduates(int count);
    // Programmes P1..P<count>, described "Programme 00001"...
    void addNumberedProgrammes(int count);
    // Takes a field, and its values, out of a table.
    void dropColumn(const QString& table, const QString& column);

    // Writes the file at `path`, replacing one that is there; returns the path.
    QString write(const QString& path) const;
    // Writes Tassel.mdb next to the running test program, where the desk looks for it (each
    // test program that does has a folder of its own).
    QString writeBesideProgram() const;
    static QString besideProgram();

    // What `make` writes for graduates given as (GraduateID, Name, Programme, Queue), all of
    // faculty FSC, with programmes P0..P18 (in reverse order of description) and the stored
    // query Graduate as given (make's when none is).
    static DeskFile made(const std::vector<std::vector<jet4::Value>>& graduates,
                         const jet4::QueryDef* graduate = nullptr);
    // The same with `count` graduates: graduate i has the ID "2003" + i in eight digits, the
    // name "Graduate <i>", programme P<i % 20> (P19 is not in Programme) and Queue
    // (count - i) % 1000.
    static DeskFile made(int count);
    // Graduate as a table of five graduates the scan tests know: blanks around and inside
    // names, a Null name, a Null programme, a quote in the ID.
    static DeskFile homeGraduates();
    // The three sources the Search and Database screens read: Queue order differs from the
    // order of the rows; Nulls, an empty and a blank phone; wildcards and a quote in the data.
    static DeskFile screenContent();

private:
    jet4::WriterTable& table(const QString& name, const std::vector<jet4::WriterColumn>& columns);

    std::deque<jet4::WriterTable> tables_; // a deque: references to tables stay valid
    std::vector<jet4::QueryDef> queries_;
};

} // namespace convodesk::testing
