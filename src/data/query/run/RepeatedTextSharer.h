#pragma once

#include "RowSource.h"

#include <vector>

namespace convodesk::data::query {

// Reads a source's values for rows kept in memory, letting a text equal (exactly) to the one
// its column had in the row before share that row's string. Long lists repeat programme,
// faculty and status texts from row to row; shared, they cost one string instead of one a row.
class RepeatedTextSharer {
public:
    explicit RepeatedTextSharer(int width) : previous_(static_cast<std::size_t>(width)) {}

    jet4::Value read(RowSource& rows, int column);

private:
    std::vector<jet4::Value> previous_;
};

} // namespace convodesk::data::query
