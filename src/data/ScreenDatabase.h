#pragma once

#include "Connection.h"
#include "Recordset.h"

#include <QString>
#include <memory>

namespace convodesk::data {

// The database variables each reading screen owns: connection text, connection and
// record set (the Home screen also keeps a lookup record set of its own).
struct ScreenDatabase {
    QString connectionText;
    std::shared_ptr<Connection> connection;
    std::shared_ptr<Recordset> recordset;
};

// Builds the connection text for the running program's folder, makes and opens a new
// connection and opens a new record set on the table or query `tableName`, storing each in
// `db` as it goes (replacing what was there). Throws DataError at the failing step.
void OpenTable(ScreenDatabase& db, const QString& tableName);

} // namespace convodesk::data
