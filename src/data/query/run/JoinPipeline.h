#pragma once

#include "JoinedRow.h"
#include "RowSource.h"
#include "data/query/eval/Evaluator.h"

#include <QHash>
#include <functional>
#include <vector>

namespace convodesk::data::query {

// One hash join of a chain: the source it adds and the equal columns it joins on.
struct JoinStep {
    int added = 0;
    std::vector<int> oldColumns; // columns of the sources joined before, in the combined layout
    std::vector<int> newColumns; // the added source's own columns (none: every row matches)
    bool keepOld = false;        // a row without a match stays, the added source Null
    bool keepNew = false;        // the added source's rows without a match follow, the others Null
};

// Joins the first source, read forward, with the other sources held in memory, one step after
// the other, and keeps the joined rows that pass a condition. Each row of the first source is
// probed through the steps and tested before its combined row is built, so a condition over
// several sources costs no more rows than it keeps. Rows come in the order of the first source,
// matches in the order of their source, then the unmatched rows each step keeps, step by step.
class JoinPipeline {
public:
    // `offsets`: where each source's columns start in the combined layout of `width` columns;
    // `rows[s]`: the rows of source s > 0 (rows[0] is not read); `condition` may be nullptr;
    // `used`: the combined columns the caller reads, the others are left Null.
    JoinPipeline(const std::vector<int>& offsets, int width, std::vector<JoinStep> steps,
                 const std::vector<RowSet>& rows, const BoundExpr* condition, std::vector<bool> used);

    std::vector<std::vector<jet4::Value>> run(RowSource& first);
    // The same rows, in the same order, handed to `sink` as they are joined instead of kept:
    // the joined row and, for each source after the first, the index of its row in `rows`
    // (-1: none, its columns Null).
    using Sink = std::function<void(JoinedRow& row, const std::vector<int>& matched)>;
    void run(RowSource& first, const Sink& sink);

private:
    struct Probe {
        QHash<QString, std::vector<int>> index;
        std::vector<bool> matched;
    };

    void expand(std::size_t step);
    const std::vector<int>* matches(std::size_t step);

    std::vector<JoinStep> steps_;
    const std::vector<RowSet>& rows_;
    const BoundExpr* condition_;
    std::vector<bool> used_;
    std::vector<Probe> probes_;
    JoinedRow row_;
    std::vector<int> matched_; // per source, the row of it in row_ (-1: none)
    const Sink* sink_ = nullptr;
    std::vector<std::vector<jet4::Value>> result_;
};

} // namespace convodesk::data::query
