#pragma once

#include "data/jet4/Value.h"
#include "data/query/run/RowSource.h"

#include <QStringList>
#include <vector>

namespace convodesk::data {
class Recordset;
}

namespace convodesk::testing {

// Results as texts to compare: a value as the desk shows it, Null as <null>; a row as its
// values joined by '|'.
QString cellText(const jet4::Value& value);
QString rowText(const std::vector<jet4::Value>& row);
// Every row of a result.
QStringList rowTexts(const data::query::RowSet& rows);
// One column of a result, by place or by name.
QStringList columnTexts(const data::query::RowSet& rows, int index = 0);
QStringList columnTexts(const data::query::RowSet& rows, const QString& name);
// The rows a record set gives from where it stands to its end.
QStringList rowTexts(data::Recordset& recordset);

} // namespace convodesk::testing
