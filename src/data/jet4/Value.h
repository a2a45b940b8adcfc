#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <variant>

namespace convodesk::jet4 {

// Date/Time as Jet stores it: days since 1899-12-30 00:00, fraction = time of day.
struct DateTimeValue {
    double days = 0;
    bool operator==(const DateTimeValue&) const = default;
};

// Currency as Jet stores it: a whole number of ten-thousandths.
struct CurrencyValue {
    std::int64_t tenThousandths = 0;
    bool operator==(const CurrencyValue&) const = default;
};

// Numeric (decimal) kept exact, as its decimal text (e.g. "-12.3400").
struct DecimalValue {
    QString text;
    bool operator==(const DecimalValue&) const = default;
};

// One typed field value. Null is its own kind and never equal to the empty text.
class Value {
public:
    // The order matches the alternatives of the variant below.
    enum class Kind { Null, Text, Integer, Double, Single, Boolean, DateTime, Currency, Decimal, Binary };

    Value() = default;
    static Value null() { return Value(); }
    static Value text(QString v) { return Value(Storage(std::in_place_index<1>, std::move(v))); }
    static Value integer(std::int64_t v) { return Value(Storage(std::in_place_index<2>, v)); }
    static Value real(double v) { return Value(Storage(std::in_place_index<3>, v)); }
    static Value single(float v) { return Value(Storage(std::in_place_index<4>, v)); }
    static Value boolean(bool v) { return Value(Storage(std::in_place_index<5>, v)); }
    static Value dateTime(double days) { return Value(Storage(std::in_place_index<6>, DateTimeValue{days})); }
    static Value currency(std::int64_t tenThousandths) {
        return Value(Storage(std::in_place_index<7>, CurrencyValue{tenThousandths}));
    }
    static Value decimal(QString exactText) {
        return Value(Storage(std::in_place_index<8>, DecimalValue{std::move(exactText)}));
    }
    static Value binary(QByteArray v) { return Value(Storage(std::in_place_index<9>, std::move(v))); }

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool isNull() const { return v_.index() == 0; }

    // Accessors: call only for the matching kind.
    const QString& asText() const { return std::get<1>(v_); }
    std::int64_t asInteger() const { return std::get<2>(v_); }
    double asDouble() const { return std::get<3>(v_); }
    float asSingle() const { return std::get<4>(v_); }
    bool asBoolean() const { return std::get<5>(v_); }
    double asDateTime() const { return std::get<6>(v_).days; }
    std::int64_t asCurrency() const { return std::get<7>(v_).tenThousandths; }
    const QString& asDecimal() const { return std::get<8>(v_).text; }
    const QByteArray& asBinary() const { return std::get<9>(v_); }

    bool operator==(const Value&) const = default;

private:
    using Storage = std::variant<std::monostate, QString, std::int64_t, double, float, bool, DateTimeValue,
                                 CurrencyValue, DecimalValue, QByteArray>;
    explicit Value(Storage s) : v_(std::move(s)) {}
    Storage v_;
};

} // namespace convodesk::jet4
