// Date functions: Date, Now, Time, Year, Month, Day, Hour, Minute, Second, Weekday, DateSerial,
// TimeSerial, DateValue, DateAdd, DateDiff, DatePart, MonthName, WeekdayName.
#include "Functions.h"
#include "data/query/eval/DateParts.h"
#include "data/query/eval/ValueConversion.h"

#include <QDateTime>
#include <cmath>

namespace convodesk::data::query {
namespace {

using jet4::Value;
using Args = std::vector<Value>;

DateParts partsOf(const Value& v) {
    return DateParts::fromDays(convert::toDate(v));
}

double nowDays() {
    const QDateTime now = QDateTime::currentDateTime();
    const int wholeSeconds = now.time().msecsSinceStartOfDay() / 1000; // Now() keeps whole seconds
    return DateParts::daysOf(now.date(), wholeSeconds);
}

Value date(const Args&) {
    return Value::dateTime(std::floor(nowDays()));
}
Value now(const Args&) {
    return Value::dateTime(nowDays());
}
Value time(const Args&) {
    const double days = nowDays();
    return Value::dateTime(days - std::floor(days));
}

Value year(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(partsOf(a[0]).date.year());
}
Value month(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(partsOf(a[0]).date.month());
}
Value day(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(partsOf(a[0]).date.day());
}
Value hour(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(partsOf(a[0]).hour);
}
Value minute(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(partsOf(a[0]).minute);
}
Value second(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(partsOf(a[0]).second);
}

// 1 = Sunday unless `firstDay` says otherwise (1 Sunday ... 7 Saturday).
int weekdayOf(const QDate& date, int firstDay) {
    const int sundayBased = date.dayOfWeek() % 7 + 1; // Sunday 1 ... Saturday 7
    return (sundayBased - firstDay + 7) % 7 + 1;
}

int firstDayArgument(const Args& a, std::size_t index) {
    if (a.size() <= index || a[index].isNull())
        return 1;
    const long long first = fn::wholeNumber(a[index], "Weekday");
    if (first == 0)
        return 1;
    if (first < 1 || first > 7)
        fn::invalidArgument("Weekday");
    return static_cast<int>(first);
}

Value weekday(const Args& a) {
    const int first = firstDayArgument(a, 1);
    return a[0].isNull() ? Value() : Value::integer(weekdayOf(partsOf(a[0]).date, first));
}

// Months and days beyond their range carry over, as DateSerial(2024, 14, 0) does.
Value dateSerial(const Args& a) {
    if (a[0].isNull() || a[1].isNull() || a[2].isNull())
        return {};
    long long y = fn::wholeNumber(a[0], "DateSerial");
    const long long m = fn::wholeNumber(a[1], "DateSerial");
    const long long d = fn::wholeNumber(a[2], "DateSerial");
    if (y >= 0 && y < 30)
        y += 2000;
    else if (y >= 30 && y < 100)
        y += 1900;
    const long long months = y * 12 + (m - 1);
    const QDate first(static_cast<int>(months / 12), static_cast<int>(months % 12) + 1, 1);
    if (!first.isValid() || std::llabs(d) > 3000000)
        fn::invalidArgument("DateSerial");
    const QDate result = first.addDays(d - 1);
    if (result.year() < 100 || result.year() > 9999)
        fn::invalidArgument("DateSerial");
    return Value::dateTime(DateParts::daysOf(result, 0));
}

Value timeSerial(const Args& a) {
    if (a[0].isNull() || a[1].isNull() || a[2].isNull())
        return {};
    const double seconds = fn::wholeNumber(a[0], "TimeSerial") * 3600.0 +
                           fn::wholeNumber(a[1], "TimeSerial") * 60.0 +
                           static_cast<double>(fn::wholeNumber(a[2], "TimeSerial"));
    return Value::dateTime(DateParts::checked(seconds / 86400.0));
}

Value dateValue(const Args& a) {
    if (a[0].isNull())
        return {};
    return Value::dateTime(DateParts::daysOf(partsOf(a[0]).date, 0));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalOf(const Value& v, const char* function) {
    if (v.kind() != Value::Kind::Text)
        fn::invalidArgument(function);
    const QString text = v.asText().trimmed().toLower();
    static const std::pair<const char*, Interval> names[] = {
        {"yyyy", Interval::Year},   {"q", Interval::Quarter}, {"m", Interval::Month},
        {"y", Interval::DayOfYear}, {"d", Interval::Day},     {"w", Interval::Weekday},
        {"ww", Interval::Week},     {"h", Interval::Hour},    {"n", Interval::Minute},
        {"s", Interval::Second}};
    for (const auto& [name, interval] : names)
        if (text == QLatin1String(name))
            return interval;
    fn::invalidArgument(function);
}

Value dateAdd(const Args& a) {
    const Interval interval = intervalOf(a[0], "DateAdd");
    if (a[1].isNull() || a[2].isNull())
        return {};
    const double n = std::trunc(convert::toNumber(a[1]));
    if (std::fabs(n) > 4.0e6 * 86400)
        fn::invalidArgument("DateAdd");
    const double days = convert::toDate(a[2]);
    DateParts parts = DateParts::fromDays(days);
    const auto months = [&](long long count) {
        const QDate moved = parts.date.addMonths(static_cast<int>(count));
        if (!moved.isValid() || moved.year() < 100 || moved.year() > 9999)
            fn::invalidArgument("DateAdd");
        parts.date = moved;
        return Value::dateTime(parts.toDays());
    };
    // Moves by a number of seconds; the time of day carries into the date.
    const auto seconds = [&](double count) {
        const double secondsOfDay = parts.hour * 3600.0 + parts.minute * 60 + parts.second + count;
        const double carry = std::floor(secondsOfDay / 86400.0);
        const QDate result = parts.date.addDays(static_cast<qint64>(carry));
        if (!result.isValid() || result.year() < 100 || result.year() > 9999)
            fn::invalidArgument("DateAdd");
        return Value::dateTime(DateParts::daysOf(result, secondsOfDay - carry * 86400.0));
    };
    switch (interval) {
    case Interval::Year:
        if (std::fabs(n) > 10000)
            fn::invalidArgument("DateAdd");
        return months(static_cast<long long>(n) * 12);
    case Interval::Quarter:
        if (std::fabs(n) > 40000)
            fn::invalidArgument("DateAdd");
        return months(static_cast<long long>(n) * 3);
    case Interval::Month:
        if (std::fabs(n) > 120000)
            fn::invalidArgument("DateAdd");
        return months(static_cast<long long>(n));
    case Interval::Week:
        return seconds(n * 7 * 86400);
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
        return seconds(n * 86400);
    case Interval::Hour:
        return seconds(n * 3600);
    case Interval::Minute:
        return seconds(n * 60);
    case Interval::Second:
        return seconds(n);
    }
    return {};
}

long long secondsOf(const DateParts& p) {
    return static_cast<long long>(DateParts::epoch().daysTo(p.date)) * 86400 + p.hour * 3600 + p.minute * 60 +
           p.second;
}

long long floorDivision(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Counts the boundaries of the interval crossed between the two dates, as DateDiff does.
Value dateDiff(const Args& a) {
    const Interval interval = intervalOf(a[0], "DateDiff");
    if (a[1].isNull() || a[2].isNull())
        return {};
    const int firstDay = firstDayArgument(a, 3);
    const DateParts from = partsOf(a[1]);
    const DateParts to = partsOf(a[2]);
    const long long days = from.date.daysTo(to.date);
    switch (interval) {
    case Interval::Year:
        return Value::integer(to.date.year() - from.date.year());
    case Interval::Quarter:
        return Value::integer((to.date.year() * 4 + (to.date.month() - 1) / 3) -
                              (from.date.year() * 4 + (from.date.month() - 1) / 3));
    case Interval::Month:
        return Value::integer((to.date.year() * 12 + to.date.month()) -
                              (from.date.year() * 12 + from.date.month()));
    case Interval::DayOfYear:
    case Interval::Day:
        return Value::integer(days);
    case Interval::Weekday:
        return Value::integer(days / 7);
    case Interval::Week: {
        // Weeks starting on firstDay between the two dates.
        const auto weekStart = [&](const QDate& d) { return d.addDays(-(weekdayOf(d, firstDay) - 1)); };
        return Value::integer(weekStart(from.date).daysTo(weekStart(to.date)) / 7);
    }
    case Interval::Hour:
        return Value::integer(floorDivision(secondsOf(to), 3600) - floorDivision(secondsOf(from), 3600));
    case Interval::Minute:
        return Value::integer(floorDivision(secondsOf(to), 60) - floorDivision(secondsOf(from), 60));
    case Interval::Second:
        return Value::integer(secondsOf(to) - secondsOf(from));
    }
    return {};
}

Value datePart(const Args& a) {
    const Interval interval = intervalOf(a[0], "DatePart");
    if (a[1].isNull())
        return {};
    const int firstDay = firstDayArgument(a, 2);
    const DateParts p = partsOf(a[1]);
    switch (interval) {
    case Interval::Year:
        return Value::integer(p.date.year());
    case Interval::Quarter:
        return Value::integer((p.date.month() - 1) / 3 + 1);
    case Interval::Month:
        return Value::integer(p.date.month());
    case Interval::DayOfYear:
        return Value::integer(p.date.dayOfYear());
    case Interval::Day:
        return Value::integer(p.date.day());
    case Interval::Weekday:
        return Value::integer(weekdayOf(p.date, firstDay));
    case Interval::Week: {
        // The week holding 1 January is week 1.
        const QDate january(p.date.year(), 1, 1);
        const int offset = weekdayOf(january, firstDay) - 1;
        return Value::integer((january.daysTo(p.date) + offset) / 7 + 1);
    }
    case Interval::Hour:
        return Value::integer(p.hour);
    case Interval::Minute:
        return Value::integer(p.minute);
    case Interval::Second:
        return Value::integer(p.second);
    }
    return {};
}

// MonthName(1 ... 12 [, abbreviate]).
Value monthName(const Args& a) {
    if (a[0].isNull())
        return {};
    const long long month = fn::wholeNumber(a[0], "MonthName");
    if (month < 1 || month > 12)
        fn::invalidArgument("MonthName");
    const QString name = DateParts::monthName(static_cast<int>(month));
    const bool abbreviate = a.size() > 1 && !a[1].isNull() && convert::toBoolean(a[1]);
    return Value::text(abbreviate ? name.left(3) : name);
}

// WeekdayName(1 ... 7 [, abbreviate [, first day of the week]]): day 1 is the first day.
Value weekdayName(const Args& a) {
    const int first = firstDayArgument(a, 2);
    if (a[0].isNull())
        return {};
    const long long day = fn::wholeNumber(a[0], "WeekdayName");
    if (day < 1 || day > 7)
        fn::invalidArgument("WeekdayName");
    const QString name = DateParts::dayName(static_cast<int>((day - 1 + first - 1) % 7) + 1);
    const bool abbreviate = a.size() > 1 && !a[1].isNull() && convert::toBoolean(a[1]);
    return Value::text(abbreviate ? name.left(3) : name);
}

const FunctionInfo functions[] = {
    {"Date", 0, 0, date},
    {"Now", 0, 0, now},
    {"Time", 0, 0, time},
    {"Year", 1, 1, year},
    {"Month", 1, 1, month},
    {"Day", 1, 1, day},
    {"Hour", 1, 1, hour},
    {"Minute", 1, 1, minute},
    {"Second", 1, 1, second},
    {"Weekday", 1, 2, weekday},
    {"DateSerial", 3, 3, dateSerial},
    {"TimeSerial", 3, 3, timeSerial},
    {"DateValue", 1, 1, dateValue},
    {"DateAdd", 3, 3, dateAdd},
    {"DateDiff", 3, 5, dateDiff},
    {"DatePart", 2, 4, datePart},
    {"MonthName", 1, 2, monthName},
    {"WeekdayName", 1, 3, weekdayName},
};

} // namespace

std::span<const FunctionInfo> dateFunctions() {
    return functions;
}

} // namespace convodesk::data::query
