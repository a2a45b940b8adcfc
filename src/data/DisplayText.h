#pragma once

#include "data/jet4/Value.h"

#include <QString>

namespace convodesk::data {

// The text a screen shows for a value, independent of the process locale:
// text as stored; integers in decimal; Double/Single shortest round-trip ("0.1");
// Currency up to four decimals, trailing zeros dropped; "True"/"False";
// "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss"; Null gives the empty text.
QString displayText(const jet4::Value& value);

} // namespace convodesk::data
