#pragma once

#include "data/jet4/SortOrder.h"

#include <QString>

namespace convodesk::data::query {

// The sort order of the file a query runs on, for the comparisons that put texts in order
// (ORDER BY, Min/Max, <, >, Between) while the query runs on this thread. Only General is
// known; with another, ordering texts is refused, while every other comparison (equality
// included) still works. Outside any scope texts are ordered by General.
class TextOrderScope {
public:
    TextOrderScope(jet4::SortOrder order, QString fileName);
    ~TextOrderScope();
    TextOrderScope(const TextOrderScope&) = delete;
    TextOrderScope& operator=(const TextOrderScope&) = delete;

    // Throws DataError(UnsupportedQuery) when the current file's sort order is not General.
    static void checkTextsCanBeOrdered();

private:
    const TextOrderScope* outer_;
    jet4::SortOrder order_;
    QString fileName_;
};

} // namespace convodesk::data::query
