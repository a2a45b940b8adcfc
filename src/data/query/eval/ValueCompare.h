#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <optional>

namespace convodesk::data::query {

// Compares two values as a condition does: numbers by value, dates by time, text ignoring
// letter case. nullopt when either is Null or the two cannot be compared.
std::optional<int> compareValues(const jet4::Value& a, const jet4::Value& b);

// As compareValues, but two texts compare in Jet's order (TextSortKey): by their letters with
// case and accents ignored, then by accents, then by punctuation such as '-'; texts equal
// ignoring letter case are equal, as compareValues has it. For <, >, <=, >= and Between.
// Throws DataError when the file's sort order is not General (TextOrderScope).
std::optional<int> orderValues(const jet4::Value& a, const jet4::Value& b);

// Two texts in Jet's order (equal keys give 0); throws as orderValues.
int compareTextOrder(QStringView a, QStringView b);
// The bytes whose bytewise order is compareTextOrder's; throws as orderValues.
QByteArray textOrderKey(QStringView text);

// True when two texts are equal ignoring letter case, exactly as compareValues() decides;
// quick for the plain ASCII text of IDs and codes.
bool textEqualsIgnoringCase(QStringView a, QStringView b);

// The order of "order by", Min and Max: Nulls first, texts in Jet's order (compareTextOrder;
// texts with equal keys tie), others as compareValues; values of different kinds that cannot
// be compared are ordered by kind.
int compareForOrder(const jet4::Value& a, const jet4::Value& b);

// A key equal for values a join or DISTINCT treats as equal; empty for Null.
QString matchKey(const jet4::Value& value);

} // namespace convodesk::data::query
