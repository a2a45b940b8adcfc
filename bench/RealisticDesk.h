#pragma once

#include <QString>

namespace convodesk::bench {

// A desk database of `graduates` graduates that look like the demo's (Malay, Chinese and Indian
// names, some with their own script, IC numbers, phones, statuses, audio files) over a
// Programme table of 48 programmes, made by `convodesk-db make` from CSV files, so it gets
// whatever the tool writes (keys and indexes included).
//
// Files are kept in <temp>/convodesk-bench and made again only when the writer libraries
// this program was linked against are newer than them.
struct RealisticDesk {
    QString mdbPath;
    QString sqlitePath; // the same rows in SQLite, with an index on GraduateID; empty until asked
    QString middleId;   // GraduateID of the graduate in the middle of the queue
    QString lastIc;     // IC of the last graduate
    qint64 fileBytes = 0;

    static RealisticDesk make(int graduates);
    // Makes (or finds) the SQLite copy; false if sqlite3 could not be run.
    bool makeSqlite();

private:
    QString graduatesCsv;
};

} // namespace convodesk::bench
