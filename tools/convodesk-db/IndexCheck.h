#pragma once

#include <QStringList>

namespace convodesk::jet4 {
class Database;
struct TableDef;
} // namespace convodesk::jet4

namespace convodesk::dbtool {

// Compares each physical index of a user table with the table's rows, both ways: every row
// is in the index once with the key its values give (rows whose index columns are all Null
// are left out of an index that ignores Nulls), and every entry names such a row. Text keys
// are compared on the part every Access version builds alike, so an older Access's placing
// of accent and punctuation marks is no damage.
class IndexCheck {
public:
    struct Result {
        QStringList damage;    // one message per damaged index, naming the table and index
        QStringList unchecked; // indexes left unchecked, with the reason
    };
    // Throws jet4::Error when the table or an index cannot be read at all.
    static Result checkTable(const jet4::Database& database, const jet4::TableDef& table);
};

} // namespace convodesk::dbtool
