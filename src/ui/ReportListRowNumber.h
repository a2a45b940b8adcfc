#pragma once

#include <QString>

namespace convodesk::ui {

// A row number filled out with leading zeros to `digits` digits; longer numbers stay whole
// (rowNumberText(1000, 3) is "1000").
QString rowNumberText(long long number, int digits);
// The same written into `text`, reusing its room (for a list filled row by row).
void writeRowNumberText(QString& text, long long number, int digits);

} // namespace convodesk::ui
