#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <cstdint>

namespace convodesk::data::query {

// One aggregate of one group: Count, Sum, Avg, Min, Max, First, Last, StDev, StDevP, Var, VarP.
// Nulls are passed over (Count(*) counts every row; First and Last take the row's value).
class Aggregate {
public:
    enum class Kind { Count, Sum, Avg, Min, Max, First, Last, StDev, StDevP, Var, VarP };
    static Kind kindOf(const QString& functionName); // the name must be an aggregate's

    Aggregate(Kind kind, bool countRows) : kind_(kind), countRows_(countRows) {}
    void add(const jet4::Value& value); // throws DataError(TypeMismatch) for Sum of a text
    jet4::Value result() const;

private:
    Kind kind_;
    bool countRows_;
    std::int64_t count_ = 0;
    bool seen_ = false;
    // Sum/Avg: whole numbers and Currency units exactly, anything else as doubles.
    bool allWhole_ = true;
    bool allCurrency_ = true;
    std::int64_t exactSum_ = 0;
    double sum_ = 0;
    // StDev/Var: running mean and squared distance (Welford).
    double mean_ = 0;
    double squares_ = 0;
    jet4::Value kept_; // Min, Max, First, Last
};

} // namespace convodesk::data::query
