// LIKE patterns: the segment search against a plain recursive matcher, letter case, and the
// patterns that used to take seconds.
#include "data/query/eval/LikePattern.h"
#include "support/RandomText.h"

#include <QRandomGenerator>
#include <QTest>

using convodesk::data::query::LikePattern;

using convodesk::testing::randomText;

namespace {

// The definition of LIKE, tried at every split: slow, but plainly right.
bool reference(QStringView pattern, QStringView text) {
    if (pattern.isEmpty())
        return text.isEmpty();
    if (pattern.front() == u'%') {
        for (qsizetype skip = 0; skip <= text.size(); ++skip)
            if (reference(pattern.mid(1), text.mid(skip)))
                return true;
        return false;
    }
    if (text.isEmpty())
        return false;
    if (pattern.front() != u'_' && pattern.front().toCaseFolded() != text.front().toCaseFolded())
        return false;
    return reference(pattern.mid(1), text.mid(1));
}

// The same definition row by row: whether pattern[0, i) matches text[0, j), for long inputs.
bool referenceTable(QStringView pattern, QStringView text) {
    std::vector<char> row(static_cast<std::size_t>(text.size()) + 1, 0), next(row.size());
    row[0] = 1;
    for (const QChar p : pattern) {
        next.assign(row.size(), 0);
        for (std::size_t j = 0; j < row.size(); ++j) {
            if (p == u'%')
                next[j] = static_cast<char>(row[j] || (j > 0 && next[j - 1]));
            else if (j > 0 && row[j - 1])
                next[j] = static_cast<char>(
                    p == u'_' || p.toCaseFolded() == text[static_cast<qsizetype>(j - 1)].toCaseFolded());
        }
        row.swap(next);
    }
    return row.back();
}

} // namespace

class LikePatternTest : public QObject {
    Q_OBJECT

private slots:
    void agreesWithTheDefinition() {
        QRandomGenerator random(11);
        for (int i = 0; i < 20000; ++i) {
            const QString pattern = randomText(random, QStringLiteral("ab%_A"), 7);
            const QString text = randomText(random, QStringLiteral("abB"), 8);
            QVERIFY2(LikePattern(pattern).matches(text) == reference(pattern, text),
                     qPrintable(QStringLiteral("'%1' like '%2'").arg(text, pattern)));
        }
    }

    void shapes_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("empty pattern, empty text") << QString() << QString() << true;
        QTest::newRow("empty pattern, a text") << QString() << QStringLiteral("a") << false;
        QTest::newRow("runs only") << QStringLiteral("%%") << QString() << true;
        QTest::newRow("ends anchored") << QStringLiteral("a%c") << QStringLiteral("abcbc") << true;
        QTest::newRow("ends overlap") << QStringLiteral("ab%bc") << QStringLiteral("abc") << false;
        QTest::newRow("later place needed") << QStringLiteral("%ab_d%") << QStringLiteral("abXabcd") << true;
        QTest::newRow("one per character") << QStringLiteral("___") << QStringLiteral("abc") << true;
        QTest::newRow("one too many") << QStringLiteral("____") << QStringLiteral("abc") << false;
        QTest::newRow("case ignored")
            << QStringLiteral("%wEi%M_ng") << QStringLiteral("Tan Wei Ming") << true;
        QTest::newRow("beyond the basic plane") << QStringLiteral("_x%") << QStringLiteral("😀xy") << true;
    }

    void shapes() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(LikePattern(pattern).matches(text), matches);
    }

    void accessWildcards() {
        const LikePattern pattern(QStringLiteral("T*n?"), LikePattern::Wildcards::Access);
        QVERIFY(pattern.matches(QStringLiteral("Tan Wei Ming")));
        QVERIFY(!pattern.matches(QStringLiteral("Tan Wei Min")));
        QVERIFY(LikePattern(QStringLiteral("100%"), LikePattern::Wildcards::Access)
                    .matches(QStringLiteral("100%")));
    }

    void manyWildcardsStayLinear() {
        // Thousands of wildcards, against texts of a field's size and of the pattern's size
        // (bench_data times them).
        QString runs;
        for (int i = 0; i < 5000; ++i)
            runs += QStringLiteral("%a");
        runs += QStringLiteral("%b");
        const QString longText(QString(20000, QLatin1Char('a')));
        const LikePattern pattern(runs);
        for (int i = 0; i < 3000; ++i)
            QVERIFY(!pattern.matches(QStringLiteral("a graduate's name of some length")));
        QVERIFY(!pattern.matches(longText));
        QVERIFY(pattern.matches(longText + QLatin1Char('b')));
        QVERIFY(LikePattern(QStringLiteral("%") + QString(16383, QLatin1Char('_')) + QStringLiteral("%"))
                    .matches(QString(16383, QLatin1Char('x'))));
    }

    // Segments long enough for the transform search, with and without wildcards, some planted
    // in the text so that both answers come up.
    void longSegmentsAgreeWithTheDefinition() {
        QRandomGenerator random(23);
        int matched = 0;
        for (int i = 0; i < 400; ++i) {
            QString pattern;
            QString planted;
            const int segments = 1 + static_cast<int>(random.bounded(3));
            for (int s = 0; s < segments; ++s) {
                const QString segment =
                    randomText(random, QStringLiteral("ab_"), 90).rightJustified(33, u'_');
                pattern += QLatin1Char('%') + segment;
                for (const QChar c : segment)
                    planted += c == u'_' ? QChar(random.bounded(2) ? u'a' : u'B') : c;
                planted += randomText(random, QStringLiteral("ab"), 20);
            }
            pattern += random.bounded(2) ? QStringLiteral("%") : QString();
            const QString noise = randomText(random, QStringLiteral("abAB"), 300);
            for (const QString& text : {noise, noise + planted, planted.left(planted.size() - 1) + noise}) {
                const bool expected = referenceTable(pattern, text);
                matched += expected;
                QVERIFY2(LikePattern(pattern).matches(text) == expected,
                         qPrintable(QStringLiteral("'%1' like '%2'").arg(text, pattern)));
            }
        }
        QVERIFY(matched > 100);
    }

    void longLiteralsAndWildcardsOverLongTexts() {
        // A literal that fails only at its last character, and one only at its first.
        const QString spaces(60000, QLatin1Char(' '));
        const QString half(30000, QLatin1Char(' '));
        const LikePattern endsInY(QLatin1Char('%') + half + QStringLiteral("y%"));
        QVERIFY(!endsInY.matches(spaces + QLatin1Char('x')));
        QVERIFY(endsInY.matches(spaces + QLatin1Char('Y') + spaces));
        QVERIFY(!endsInY.matches(QStringLiteral("é") + spaces + QLatin1Char('x')));
        QVERIFY(endsInY.matches(QStringLiteral("é") + spaces + QLatin1Char('y')));
        const LikePattern startsWithY(QStringLiteral("%y") + half + QLatin1Char('%'));
        QVERIFY(!startsWithY.matches(QStringLiteral("éx") + spaces));
        QVERIFY(startsWithY.matches(QStringLiteral("é") + half + QLatin1Char('Y') + spaces));
        QVERIFY(LikePattern(QStringLiteral("%ÉCOLE%")).matches(QStringLiteral("une école")));

        QString everyOther;
        for (int i = 0; i < 15000; ++i)
            everyOther += QStringLiteral("a_");
        const LikePattern wildcards(QLatin1Char('%') + everyOther + QStringLiteral("b%"));
        const QString as(59999, QLatin1Char('a'));
        QVERIFY(!wildcards.matches(as + QLatin1Char('a')));
        QVERIFY(wildcards.matches(as + QLatin1Char('b')));
        QVERIFY(!wildcards.matches(QLatin1Char('b') + as.left(29999) + QLatin1Char('b')));
        QVERIFY(wildcards.matches(QLatin1Char('a') + as.left(29999) + QLatin1Char('b')));
        const LikePattern twoSegments(QLatin1Char('%') + everyOther + QStringLiteral("b%") + everyOther +
                                      QLatin1Char('%'));
        QVERIFY(!twoSegments.matches(as + QLatin1Char('b') + as.left(10000)));
        QVERIFY(twoSegments.matches(as + QLatin1Char('b') + as.left(30000)));
    }
};

QTEST_GUILESS_MAIN(LikePatternTest)
#include "tst_like_pattern.moc"
