#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <vector>

namespace convodesk::testing {

struct GraduateRow {
    QString id;
    jet4::Value name;
    jet4::Value programme;
};

// Graduates every scan test knows.
std::vector<GraduateRow> standardGraduates();

// Writes Tassel.mdb with a Graduate table of these rows into the running program's folder
// (each test executable has a folder of its own). Returns the file's path.
QString writeTasselMdb(const std::vector<GraduateRow>& rows);
QString tasselMdbPath();

} // namespace convodesk::testing
