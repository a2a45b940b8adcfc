// Format(value [, format]): the named formats and the usual custom date and number patterns.
#include "Functions.h"
#include "data/query/eval/DateParts.h"
#include "data/query/eval/ValueConversion.h"

#include <QRegularExpression>
#include <cmath>

namespace convodesk::data::query {
namespace {

using jet4::Value;
using Args = std::vector<Value>;

QString two(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool startsWithAt(const QString& text, qsizetype at, const char* token) {
    return QStringView(text)
               .mid(at, static_cast<qsizetype>(qstrlen(token)))
               .compare(QLatin1String(token), Qt::CaseInsensitive) == 0;
}

// A custom date/time pattern: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss q w ww
// AM/PM am/pm A/P, "text", \c, and : / - . , blank as they stand. "m" after h is minutes.
QString formatDate(double days, const QString& pattern) {
    const DateParts p = DateParts::fromDays(days);
    const int weekday = p.date.dayOfWeek() % 7; // 0 = Sunday
    QString out;
    bool afterHour = false;
    const bool twelveHour = pattern.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive) ||
                            pattern.contains(QLatin1String("A/P"), Qt::CaseInsensitive);
    const int hour = twelveHour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = pattern.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            if (i + 1 < pattern.size())
                out += pattern[i + 1];
            i += 2;
            continue;
        }
        if (startsWithAt(pattern, i, "AM/PM")) {
            const bool upper = pattern[i].isUpper();
            const QString half = p.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += upper ? half : half.toLower();
            i += 5;
            continue;
        }
        if (startsWithAt(pattern, i, "A/P")) {
            const QString half = p.hour < 12 ? QStringLiteral("A") : QStringLiteral("P");
            out += pattern[i].isUpper() ? half : half.toLower();
            i += 3;
            continue;
        }
        // A run of one letter is one field; every branch below steps over the whole run.
        const QChar lower = c.toLower();
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == lower)
            ++run;
        if (lower == QLatin1Char('d')) {
            out += run == 1   ? QString::number(p.date.day())
                   : run == 2 ? two(p.date.day())
                   : run == 3 ? DateParts::dayName(weekday + 1).left(3)
                              : DateParts::dayName(weekday + 1);
        } else if (lower == QLatin1Char('m')) {
            if (afterHour && run <= 2) {
                out += run == 1 ? QString::number(p.minute) : two(p.minute);
            } else {
                out += run == 1   ? QString::number(p.date.month())
                       : run == 2 ? two(p.date.month())
                       : run == 3 ? DateParts::monthName(p.date.month()).left(3)
                                  : DateParts::monthName(p.date.month());
            }
        } else if (lower == QLatin1Char('y')) {
            out += run >= 3   ? QString::number(p.date.year())
                   : run == 2 ? two(p.date.year() % 100)
                              : QString::number(p.date.dayOfYear());
        } else if (lower == QLatin1Char('h')) {
            out += run == 1 ? QString::number(hour) : two(hour);
            afterHour = true;
            i += run;
            continue;
        } else if (lower == QLatin1Char('n')) {
            out += run == 1 ? QString::number(p.minute) : two(p.minute);
        } else if (lower == QLatin1Char('s')) {
            out += run == 1 ? QString::number(p.second) : two(p.second);
        } else if (lower == QLatin1Char('q')) {
            out += QString::number((p.date.month() - 1) / 3 + 1);
        } else if (lower == QLatin1Char('w')) {
            if (run == 1) {
                out += QString::number(weekday + 1);
            } else {
                const QDate january(p.date.year(), 1, 1);
                out += QString::number((january.daysTo(p.date) + january.dayOfWeek() % 7) / 7 + 1);
            }
        } else {
            out += pattern.mid(i, run);
        }
        afterHour = afterHour && lower != QLatin1Char('d') && lower != QLatin1Char('y');
        i += run;
    }
    return out;
}

QString grouped(const QString& digits) {
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

// A custom number pattern: 0 and # digits, '.', ',' for thousands, '%', literal text; up to
// four sections (positive;negative;zero;null).
QString formatNumber(double number, const QString& pattern) {
    const QStringList sections = pattern.split(QLatin1Char(';'));
    QString section = sections[0];
    bool negativeSection = false;
    if (number < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        negativeSection = true;
    } else if (number == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    const bool percent = section.contains(QLatin1Char('%'));
    double value = std::fabs(number) * (percent ? 100 : 1);
    const int point = static_cast<int>(section.indexOf(QLatin1Char('.')));
    int decimals = 0, minimumWhole = 0;
    bool thousands = false;
    const QString whole = point < 0 ? section : section.left(point);
    for (QChar c : whole) {
        if (c == QLatin1Char('0'))
            ++minimumWhole;
        else if (c == QLatin1Char(','))
            thousands = true;
    }
    if (point >= 0)
        for (int i = point + 1;
             i < section.size() && (section[i] == QLatin1Char('0') || section[i] == QLatin1Char('#')); ++i)
            ++decimals;
    QString digits = QString::number(value, 'f', decimals);
    QString wholeDigits = digits.section(QLatin1Char('.'), 0, 0);
    QString fraction = decimals > 0 ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    // '#' places after the point drop trailing zeros beyond the '0' places.
    if (point >= 0) {
        int required = 0;
        for (int i = point + 1; i < section.size() && section[i] == QLatin1Char('0'); ++i)
            ++required;
        while (fraction.size() > required && fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
    }
    if (wholeDigits == QLatin1String("0") && minimumWhole == 0)
        wholeDigits.clear();
    if (wholeDigits.size() < minimumWhole)
        wholeDigits.prepend(QString(minimumWhole - wholeDigits.size(), QLatin1Char('0')));
    if (thousands)
        wholeDigits = grouped(wholeDigits);
    QString numberText = wholeDigits;
    if (point >= 0 && (!fraction.isEmpty() || decimals == 0))
        numberText += QLatin1Char('.') + fraction;
    // Literal text before and after the digits stays where it is.
    int first = -1, last = -1;
    for (int i = 0; i < section.size(); ++i)
        if (QStringLiteral("0#.,").contains(section[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    QString prefix = first < 0 ? section : section.left(first);
    QString suffix = last < 0 ? QString() : section.mid(last + 1);
    prefix.remove(QLatin1Char('"'));
    suffix.remove(QLatin1Char('"'));
    const bool sign = number < 0 && !negativeSection && value != 0;
    return (sign ? QStringLiteral("-") : QString()) + prefix + numberText + suffix;
}

QString named(const Value& v, const QString& name, bool& done) {
    done = true;
    const QString n = name.toLower();
    if (n == QLatin1String("general number"))
        return convert::toText(convert::numberValue(convert::toNumber(v)));
    if (n == QLatin1String("currency"))
        return formatNumber(convert::toNumber(v), QStringLiteral("$#,##0.00;($#,##0.00)"));
    if (n == QLatin1String("fixed"))
        return formatNumber(convert::toNumber(v), QStringLiteral("0.00"));
    if (n == QLatin1String("standard"))
        return formatNumber(convert::toNumber(v), QStringLiteral("#,##0.00"));
    if (n == QLatin1String("percent"))
        return formatNumber(convert::toNumber(v), QStringLiteral("0.00%"));
    if (n == QLatin1String("scientific")) {
        QString text = QString::number(convert::toNumber(v), 'E', 2);
        return text.replace(QRegularExpression(QStringLiteral("E([+-])0*(\\d\\d)")),
                            QStringLiteral("E\\1\\2"));
    }
    if (n == QLatin1String("yes/no"))
        return convert::toNumber(v) != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    if (n == QLatin1String("true/false"))
        return convert::toNumber(v) != 0 ? QStringLiteral("True") : QStringLiteral("False");
    if (n == QLatin1String("on/off"))
        return convert::toNumber(v) != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    if (n == QLatin1String("general date")) {
        return convert::toText(Value::dateTime(convert::toDate(v)));
    }
    if (n == QLatin1String("long date"))
        return formatDate(convert::toDate(v), QStringLiteral("dddd, mmmm d, yyyy"));
    if (n == QLatin1String("medium date"))
        return formatDate(convert::toDate(v), QStringLiteral("dd-mmm-yy"));
    if (n == QLatin1String("short date"))
        return formatDate(convert::toDate(v), QStringLiteral("m/d/yyyy"));
    if (n == QLatin1String("long time"))
        return formatDate(convert::toDate(v), QStringLiteral("h:nn:ss AM/PM"));
    if (n == QLatin1String("medium time"))
        return formatDate(convert::toDate(v), QStringLiteral("hh:nn AM/PM"));
    if (n == QLatin1String("short time"))
        return formatDate(convert::toDate(v), QStringLiteral("hh:nn"));
    done = false;
    return {};
}

bool isDatePattern(const QString& pattern) {
    for (QChar c : pattern) {
        const QChar l = c.toLower();
        if (l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y') ||
            l == QLatin1Char('h') || l == QLatin1Char('n') || l == QLatin1Char('s') ||
            l == QLatin1Char('q') || l == QLatin1Char('w'))
            return true;
        if (l == QLatin1Char('0') || l == QLatin1Char('#'))
            return false;
    }
    return false;
}

Value format(const Args& a) {
    const Value& v = a[0];
    if (v.isNull())
        return {};
    if (a.size() < 2 || a[1].isNull() || convert::toText(a[1]).isEmpty()) {
        if (v.kind() == Value::Kind::Boolean)
            return Value::text(v.asBoolean() ? QStringLiteral("True") : QStringLiteral("False"));
        return Value::text(convert::toText(v));
    }
    const QString pattern = convert::toText(a[1]);
    bool done = false;
    const QString namedText = named(v, pattern, done);
    if (done)
        return Value::text(namedText);
    if (pattern == QLatin1String(">"))
        return Value::text(convert::toText(v).toUpper());
    if (pattern == QLatin1String("<"))
        return Value::text(convert::toText(v).toLower());
    if (isDatePattern(pattern))
        return Value::text(formatDate(convert::toDate(v), pattern));
    if (v.kind() == Value::Kind::Text && !convert::numberFromText(v.asText()))
        return Value::text(v.asText());
    return Value::text(formatNumber(convert::toNumber(v), pattern));
}

const FunctionInfo functions[] = {
    {"Format", 1, 4, format},
};

} // namespace

std::span<const FunctionInfo> formatFunctions() {
    return functions;
}

} // namespace convodesk::data::query
