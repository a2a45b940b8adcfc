// Functions of the expression language on inputs tens of thousands of characters long, where
// a search or a scan that starts over at every character used to take seconds: the results
// must be right (bench_query_functions shows how the times grow).
#include "data/query/eval/TextSearch.h"
#include "data/query/functions/Functions.h"
#include "support/RandomText.h"

#include <QRandomGenerator>
#include <QTest>

using convodesk::data::query::findFunction;
using convodesk::data::query::TextSearch;
using convodesk::jet4::Value;
using convodesk::testing::randomText;

namespace {

QString call(const char* function, const std::vector<Value>& arguments) {
    return findFunction(QString::fromLatin1(function))->call(arguments).asText();
}

qint64 number(const char* function, const std::vector<Value>& arguments) {
    return findFunction(QString::fromLatin1(function))->call(arguments).asInteger();
}

Value text(const QString& s) {
    return Value::text(s);
}

} // namespace

class LongInputsTest : public QObject {
    Q_OBJECT

private slots:
    // The linear search agrees with Qt's on short texts, letter case ignored or not, from any start.
    void textSearchAgreesWithQt() {
        QRandomGenerator random(5);
        for (int i = 0; i < 20000; ++i) {
            const QString sought = randomText(random, QStringLiteral("abAB"), 5);
            const QString haystack = randomText(random, QStringLiteral("abAB"), 12);
            if (sought.isEmpty())
                continue;
            const auto from = static_cast<qsizetype>(random.bounded(haystack.size() + 1));
            for (const auto sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive})
                QCOMPARE(TextSearch(sought, sensitivity).indexIn(haystack, from),
                         haystack.indexOf(sought, from, sensitivity));
        }
        // Letters beyond the basic plane fold in place.
        const QString deseret = QStringLiteral("x\U00010400y"); // capital long I
        QCOMPARE(TextSearch(QStringLiteral("\U00010428Y"), Qt::CaseInsensitive).indexIn(deseret), 1);
        QCOMPARE(TextSearch(QStringLiteral("\U00010428Y"), Qt::CaseSensitive).indexIn(deseret), -1);
    }

    void formatWithLongRunsOfOneCharacter() {
        const Value date = Value::dateTime(37636.5); // 15 January 2003, noon
        const QString quotes(60000, QLatin1Char('"'));
        QCOMPARE(call("Format", {date, text(quotes + QLatin1Char('d'))}), QStringLiteral("15"));
        QCOMPARE(call("Format", {date, text(QStringLiteral("d") + quotes + QStringLiteral("\"ok\""))}),
                 QStringLiteral("15ok"));
        QCOMPARE(call("Format", {date, text(QLatin1Char('d') + QString(60000, QLatin1Char('\\')))}),
                 QStringLiteral("15") + QString(30000, QLatin1Char('\\')));
        QCOMPARE(call("Format", {date, text(QStringLiteral("yyyy") + QString(59999, QLatin1Char('\\')))}),
                 QStringLiteral("2003") + QString(29999, QLatin1Char('\\')));
        QCOMPARE(call("Format", {date, text(QString(60000, QLatin1Char('d')))}), QStringLiteral("Wednesday"));
        QCOMPARE(call("Format", {date, text(QString(60000, QLatin1Char('m')))}), QStringLiteral("January"));
        QCOMPARE(call("Format", {Value::integer(42), text(QString(60000, QLatin1Char('0')))}),
                 QString(59998, QLatin1Char('0')) + QStringLiteral("42"));
        QCOMPARE(call("Format", {Value::integer(42), text(QString(60000, QLatin1Char('#')))}),
                 QStringLiteral("42"));
        QCOMPARE(call("Format", {Value::integer(42), text(QStringLiteral("0") + quotes)}),
                 QStringLiteral("42"));
        QCOMPARE(call("Format", {text(QStringLiteral("seven")), text(quotes)}), QStringLiteral("seven"));
        QCOMPARE(call("Format",
                      {text(QStringLiteral("7")), text(QStringLiteral("0.") + QString(6, QLatin1Char('0')))}),
                 QStringLiteral("7.000000"));
    }

    void replaceAndInStrOnLongTexts() {
        // Texts where a search that compares from the sought text's end fails only at its start.
        const QString spaces(60000, QLatin1Char(' '));
        const QString half(30000, QLatin1Char(' '));
        const QString sought = QLatin1Char('y') + half;
        const QString late = half + QLatin1Char('Y') + spaces;
        QCOMPARE(number("InStr", {text(QLatin1Char('x') + spaces), text(sought)}), 0);
        QCOMPARE(number("InStr", {text(late), text(sought)}), 30001);
        QCOMPARE(number("InStr", {Value::integer(5), text(late.toLower()), text(sought), Value::integer(0)}),
                 30001);
        QCOMPARE(number("InStr", {Value::integer(1), text(late), text(sought), Value::integer(0)}), 0);
        QCOMPARE(number("InStr", {Value::integer(30002), text(late), text(sought)}), 0);
        QCOMPARE(call("Replace", {text(QLatin1Char('x') + spaces), text(sought), text(QStringLiteral("!"))}),
                 QLatin1Char('x') + spaces);
        QCOMPARE(call("Replace", {text(late + late), text(sought), text(QStringLiteral("!"))}),
                 half + QLatin1Char('!') + half + half + QLatin1Char('!') + half);
        // Each place starts after the one before ends; letter case is ignored.
        QCOMPARE(call("Replace",
                      {text(QStringLiteral("aAaAa")), text(QStringLiteral("aa")), text(QStringLiteral("b"))}),
                 QStringLiteral("bba"));
        QString nested = QStringLiteral("xAx");
        for (int i = 0; i < 14; ++i)
            nested = call("Replace", {text(nested), text(QStringLiteral("a")), text(QStringLiteral("aa"))});
        QCOMPARE(nested, QLatin1Char('x') + QString(16384, QLatin1Char('a')) + QLatin1Char('x'));
    }

    // Dates and times with long runs of blanks around and between them.
    void datesWithLongBlanks() {
        const QString blanks(30000, QLatin1Char(' '));
        const auto isDate = [](const QString& s) {
            return findFunction(QStringLiteral("IsDate"))->call({Value::text(s)}).asBoolean();
        };
        QVERIFY(isDate(blanks + QStringLiteral("1/2/2003") + blanks));
        QVERIFY(isDate(QStringLiteral("1/2/2003") + blanks + QStringLiteral("1:02") + blanks +
                       QStringLiteral("pm\t")));
        QVERIFY(!isDate(QStringLiteral("1/2/2003") + blanks + QStringLiteral("1:02") + blanks +
                        QLatin1Char('x')));
        QVERIFY(!isDate(blanks + blanks));
        QVERIFY(!isDate(QStringLiteral("1/2/2003\u00a0")));
        const Value date = findFunction(QStringLiteral("CDate"))
                               ->call({Value::text(QStringLiteral("\t2003-01-15") + blanks +
                                                   QStringLiteral("12:00:00 PM "))});
        QCOMPARE(date.asDateTime(), 37636.5);
    }
};

QTEST_GUILESS_MAIN(LongInputsTest)
#include "tst_long_inputs.moc"
