#pragma once

#include "data/jet4/read/Database.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

namespace convodesk::testing {

// Our values in the form tests/node/dump.mjs prints mdb-reader's: dates as ISO 8601 (UTC, ms),
// currency with four decimals, binary as hex, Null as null.
QJsonValue asReferenceJson(const jet4::Value& value);
// Every row of a table, each as an array of asReferenceJson values in column order.
QJsonArray readAllRows(const jet4::Database& db, const jet4::TableDef& table);
// The path of a corpus file, copied into `folder` first so no test touches the shared file.
QString corpusCopy(const QString& relativePath, const QString& folder);

} // namespace convodesk::testing
