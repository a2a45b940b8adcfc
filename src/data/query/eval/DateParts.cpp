#include "DateParts.h"

#include "data/DataError.h"
#include "data/jet4/Jet4Format.h"

#include <QRegularExpression>
#include <cctype>
#include <cmath>

namespace convodesk::data::query {
namespace {

// Days of 100-01-01 and of the day after 9999-12-31; times count away from zero before 1899.
constexpr double kBeforeFirstDay = -657435.0;
constexpr double kAfterLastDay = 2958466.0;

} // namespace

double DateParts::checked(double days) {
    if (!(days > kBeforeFirstDay && days < kAfterLastDay))
        throw DataError::overflow();
    return days;
}

QDate DateParts::epoch() {
    using namespace jet4::format;
    return QDate(kDateEpochYear, kDateEpochMonth, kDateEpochDay);
}

DateParts DateParts::fromDays(double days) {
    return split(checked(days));
}

DateParts DateParts::split(double days) {
    DateParts parts;
    const double whole = std::trunc(days);
    // Seconds of the day, rounded to the second as Jet shows them.
    long long seconds = std::llround(std::fabs(days - whole) * 86400.0);
    long long day = static_cast<long long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += days < 0 ? -1 : 1;
    }
    parts.date = epoch().addDays(day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

double DateParts::daysOf(const QDate& date, double secondsOfDay) {
    const double day = static_cast<double>(epoch().daysTo(date));
    const double fraction = secondsOfDay / 86400.0;
    return day < 0 ? day - fraction : day + fraction;
}

double DateParts::toDays() const {
    return daysOf(date, hour * 3600.0 + minute * 60.0 + second);
}

std::optional<double> DateParts::parse(const QString& given) {
    // The blanks at either end go before matching: three optional runs of blanks in a row would
    // let the matcher try every way of sharing a long run between them.
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(?:(\d{1,4})([/\-.])(\d{1,2})\2(\d{1,4}))?\s*)"
                       R"((?:(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*([AaPp][Mm])?)?$)"));
    const auto blank = [](QChar c) { return c.unicode() < 0x80 && std::isspace(c.unicode()); };
    qsizetype first = 0, end = given.size();
    while (first < end && blank(given[first]))
        ++first;
    while (end > first && blank(given[end - 1]))
        --end;
    if (first == end)
        return std::nullopt;
    const QRegularExpressionMatch m = pattern.match(given.mid(first, end - first));
    if (!m.hasMatch())
        return std::nullopt;
    QDate date = epoch();
    if (m.capturedLength(1) > 0) {
        int a = m.captured(1).toInt(), b = m.captured(3).toInt(), c = m.captured(4).toInt();
        int year = 0, month = 0, day = 0;
        if (m.capturedLength(1) == 4) { // yyyy-mm-dd
            year = a;
            month = b;
            day = c;
        } else { // m/d/yyyy
            month = a;
            day = b;
            year = c;
            if (m.capturedLength(4) <= 2)
                year += year < 30 ? 2000 : 1900;
        }
        date = QDate(year, month, day);
        if (!date.isValid() || year < 100 || year > 9999)
            return std::nullopt;
    }
    int hour = 0, minute = 0, second = 0;
    if (m.capturedLength(5) > 0) {
        hour = m.captured(5).toInt();
        minute = m.captured(6).toInt();
        second = m.captured(7).toInt();
        const QString half = m.captured(8).toUpper();
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (half == QLatin1String("PM") ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
    } else if (m.capturedLength(1) == 0) {
        return std::nullopt;
    }
    return daysOf(date, hour * 3600.0 + minute * 60.0 + second);
}

QString DateParts::monthName(int month) {
    static const char* const names[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
    return QString::fromLatin1(names[month - 1]);
}

QString DateParts::dayName(int weekday) {
    static const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    return QString::fromLatin1(names[weekday - 1]);
}

} // namespace convodesk::data::query
