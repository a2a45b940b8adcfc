#include "ScreenDatabase.h"

#include "ConnectionText.h"

namespace convodesk::data {

void OpenTable(ScreenDatabase& db, const QString& tableName) {
    db.connectionText = programConnectionText();
    db.connection = std::make_shared<Connection>();
    db.connection->setConnectionString(db.connectionText);
    db.connection->setCursorLocation(Connection::adUseClient);
    db.connection->open();
    db.recordset = std::make_shared<Recordset>();
    db.recordset->openTable(tableName, db.connection);
}

} // namespace convodesk::data
