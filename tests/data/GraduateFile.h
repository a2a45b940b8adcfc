#pragma once

#include "data/jet4/QueryDef.h"
#include "data/jet4/Value.h"

#include <QString>
#include <vector>

namespace convodesk::data::test {

// Writes a desk database like `convodesk-db make` does: Graduates, Programme and the stored
// query Graduate. Graduate i has the ID "2003" + i in eight digits, the name "Graduate <i>",
// programme code "P<i % 20>" (P19 is missing from Programme) and Queue (count - i) % 1000.
void writeGraduateFile(const QString& path, int count);

// The same tables with rows given by the caller (GraduateID, Name, Programme, Queue), and
// the stored query Graduate as given (the one `make` writes when none is).
void writeGraduateFile(const QString& path, const std::vector<std::vector<jet4::Value>>& graduates,
                       const jet4::QueryDef* graduate = nullptr);

} // namespace convodesk::data::test
