#pragma once

#include "convodesk-db/CsvTable.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace convodesk::testing {

// The two independent readers the tests compare the writer's files against: the mdbtools
// command-line tools and the npm package mdb-reader (tests/node/dump.mjs). A reader that
// fails makes the calling test fail with its output.
class ReferenceReaders {
public:
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
    };
    static Result run(const QString& program, const QStringList& args);

    // mdb-export with four-digit dates ("%Y-%m-%d %H:%M:%S") and binary data as hex.
    // Note: libmdb reports a zero-length text as Null.
    static dbtool::CsvTable mdbExport(const QString& file, const QString& table);
    static QStringList mdbTables(const QString& file, bool withSystem = false);
    static QStringList mdbQueryNames(const QString& file);
    static QString mdbQuerySql(const QString& file, const QString& query);
    static QString mdbSchema(const QString& file);
    // mdb-reader's view of the file: {"tables": [...], "data": {table: {"columns", "rowCount", "rows"}}}.
    static QJsonObject mdbReaderDump(const QString& file, const QStringList& tables = {});
    // Whether mdb-reader is installed (tests/node/node_modules).
    static QString nodeFolder();
};

} // namespace convodesk::testing
