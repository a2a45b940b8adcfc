#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <optional>

namespace convodesk::data::query {

// How expressions turn one kind of value into another, as Jet does. Null is never converted:
// callers test it first. A value that cannot be converted throws DataError(TypeMismatch).
namespace convert {

bool isNumeric(const jet4::Value& value);  // a number, a Boolean or a date
double toNumber(const jet4::Value& value); // texts that read as a number too
std::optional<double> numberFromText(const QString& text);
QString toText(const jet4::Value& value); // what & and CStr make of a value
double toDate(const jet4::Value& value);  // days; texts that read as a date too
bool toBoolean(const jet4::Value& value);
// A whole number result as Integer, otherwise Double.
jet4::Value numberValue(double number);
// VBA's rounding to a whole number: halves go to the even neighbour.
double roundHalfEven(double number);
[[noreturn]] void mismatch();

} // namespace convert
} // namespace convodesk::data::query
