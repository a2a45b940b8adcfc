#pragma once

#include "jet4/Value.h"

#include <QString>
#include <optional>

namespace convodesk::data::query {

// Compares two values as a condition does: numbers by value, dates by time, text ignoring
// letter case. nullopt when either is Null or the two cannot be compared.
std::optional<int> compareValues(const jet4::Value& a, const jet4::Value& b);

// True when two texts are equal ignoring letter case, exactly as compareValues() decides;
// quick for the plain ASCII text of IDs and codes.
bool textEqualsIgnoringCase(QStringView a, QStringView b);

// The order of "order by": Nulls first, then as compareValues; values of different kinds
// that cannot be compared are ordered by kind.
int compareForOrder(const jet4::Value& a, const jet4::Value& b);

// A key equal for values a join or DISTINCT treats as equal; empty for Null.
QString matchKey(const jet4::Value& value);

} // namespace convodesk::data::query
