#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

namespace convodesk::data {

class Connection;

// Rows of a table, a stored query or a query text, read forward. Created closed.
// Destroying an open record set closes it (and the connection it made itself, if any).
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // All rows of the table or stored query `source` through an open connection.
    void openTable(const QString& source, std::shared_ptr<Connection> connection);
    // The rows of a query text through an open connection, positioned on the first row.
    void openQuery(const QString& queryText, std::shared_ptr<Connection> connection);
    // The same with a connection text: the record set makes and owns its own connection,
    // which is closed with the record set.
    void openQuery(const QString& queryText, const QString& connectionText);

    bool isOpen() const;
    bool eof() const;                             // no current row
    jet4::Value field(const QString& name) const; // throws DataError (no field / EOF / closed)
    jet4::Value field(int index) const;           // by position in fieldNames(), the same way
    // Where field `name` stands in fieldNames(); throws DataError as field(name) does.
    int fieldIndex(const QString& name) const;
    // Field `index` of the current row as a list shows it (displayText), viewed without building
    // a string where the field is stored text. The view holds until the next call on this
    // record set. Throws as field(index) does.
    QStringView fieldText(int index) const;
    QStringList fieldNames() const; // in source order
    void moveNext();
    void close();

    // Number of Recordset objects that are open right now (for tests of the ownership rules).
    static int openCount();

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace convodesk::data
