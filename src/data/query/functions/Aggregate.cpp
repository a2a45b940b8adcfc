#include "Aggregate.h"

#include "data/DataError.h"
#include "data/query/eval/ValueCompare.h"
#include "data/query/eval/ValueConversion.h"

#include <cmath>
#include <cstdlib>

namespace convodesk::data::query {

using jet4::Value;

Aggregate::Kind Aggregate::kindOf(const QString& name) {
    static const std::pair<const char*, Kind> names[] = {
        {"Count", Kind::Count},   {"Sum", Kind::Sum},     {"Avg", Kind::Avg},   {"Min", Kind::Min},
        {"Max", Kind::Max},       {"First", Kind::First}, {"Last", Kind::Last}, {"StDev", Kind::StDev},
        {"StDevP", Kind::StDevP}, {"Var", Kind::Var},     {"VarP", Kind::VarP}};
    for (const auto& [text, kind] : names)
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return kind;
    return Kind::Count;
}

void Aggregate::add(const Value& value) {
    switch (kind_) {
    case Kind::First:
        if (!seen_)
            kept_ = value;
        seen_ = true;
        return;
    case Kind::Last:
        kept_ = value;
        seen_ = true;
        return;
    default:
        break;
    }
    if (countRows_) {
        ++count_;
        return;
    }
    if (value.isNull())
        return;
    ++count_;
    switch (kind_) {
    case Kind::Count:
        return;
    case Kind::Min:
    case Kind::Max: {
        if (!seen_) {
            kept_ = value;
            seen_ = true;
            return;
        }
        const int c = compareForOrder(value, kept_);
        if ((kind_ == Kind::Min && c < 0) || (kind_ == Kind::Max && c > 0))
            kept_ = value;
        return;
    }
    default:
        break;
    }
    const double number = convert::toNumber(value);
    const bool whole = value.kind() == Value::Kind::Integer || value.kind() == Value::Kind::Boolean;
    allWhole_ = allWhole_ && whole;
    allCurrency_ = allCurrency_ && value.kind() == Value::Kind::Currency;
    // Whole numbers and Currency (in ten-thousandths) add up exactly; a sum past their range
    // is Jet's Overflow.
    if (kind_ == Kind::Sum ? allWhole_ || allCurrency_ : kind_ == Kind::Avg && allCurrency_) {
        const std::int64_t add = value.kind() == Value::Kind::Currency  ? value.asCurrency()
                                 : value.kind() == Value::Kind::Integer ? value.asInteger()
                                 : value.asBoolean()                    ? -1
                                                                        : 0;
        if (__builtin_add_overflow(exactSum_, add, &exactSum_))
            throw DataError::overflow();
    }
    sum_ += number;
    const double delta = number - mean_;
    mean_ += delta / static_cast<double>(count_);
    squares_ += delta * (number - mean_);
}

Value Aggregate::result() const {
    switch (kind_) {
    case Kind::Count:
        return Value::integer(count_);
    case Kind::First:
    case Kind::Last:
    case Kind::Min:
    case Kind::Max:
        return kept_;
    default:
        break;
    }
    if (count_ == 0)
        return Value::null();
    switch (kind_) {
    case Kind::Sum:
        if (allWhole_)
            return Value::integer(exactSum_);
        if (allCurrency_)
            return Value::currency(exactSum_);
        return Value::real(sum_);
    case Kind::Avg:
        if (allCurrency_)
            return Value::currency(exactSum_ / count_ + (2 * std::abs(exactSum_ % count_) >= count_
                                                             ? (exactSum_ < 0 ? -1 : 1)
                                                             : 0));
        return Value::real(sum_ / static_cast<double>(count_));
    case Kind::StDev:
    case Kind::Var:
        if (count_ < 2)
            return Value::null();
        return Value::real(kind_ == Kind::Var ? squares_ / (count_ - 1) : std::sqrt(squares_ / (count_ - 1)));
    case Kind::StDevP:
    case Kind::VarP:
        return Value::real(kind_ == Kind::VarP ? squares_ / count_ : std::sqrt(squares_ / count_));
    default:
        return Value::null();
    }
}

} // namespace convodesk::data::query
