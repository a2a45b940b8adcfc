#pragma once

#include "data/jet4/Value.h"
#include "data/query/parse/Expr.h"

namespace convodesk::data::query {

// The operators & + - * / \ Mod ^ as Jet applies them: & treats Null as the empty text (Null
// only when both are), the others give Null for a Null operand; + joins two texts; whole
// numbers stay whole where they fit; a date plus or minus a number is a date. Throws
// DataError (type mismatch, division by zero).
jet4::Value arithmetic(Expr::Arith op, const jet4::Value& left, const jet4::Value& right);
jet4::Value negate(const jet4::Value& value);

} // namespace convodesk::data::query
