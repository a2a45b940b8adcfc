#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace convodesk::data::query {

// A date/time as Jet keeps it (days since 1899-12-30; for earlier days the time of day counts
// away from zero, so -1.25 is 1899-12-29 06:00) split into calendar parts, and back.
struct DateParts {
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Throws DataError(Overflow) for days outside Jet's dates (years 100 to 9999).
    static DateParts fromDays(double days);
    // The days unchanged when they are a Jet date; DataError(Overflow) otherwise.
    static double checked(double days);
    double toDays() const;
    // Days for a date and time of day given in seconds.
    static double daysOf(const QDate& date, double secondsOfDay);
    // "#...#" texts and the date texts CDate takes: m/d/yyyy, yyyy-mm-dd, either with a time
    // hh:nn[:ss] [AM|PM]; a time alone is on 1899-12-30. nullopt for anything else.
    static std::optional<double> parse(const QString& text);

    // English names: month 1 ... 12, weekday 1 (Sunday) ... 7 (Saturday).
    static QString monthName(int month);
    static QString dayName(int weekday);
};

} // namespace convodesk::data::query
