// LIKE patterns: the segment search against a plain recursive matcher, letter case, and the
// patterns that used to take seconds.
#include "query/LikePattern.h"

#include <QRandomGenerator>
#include <QTest>

using convodesk::data::query::LikePattern;

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

QString randomText(QRandomGenerator& random, const QString& alphabet, int maxLength) {
    QString text;
    const int length = static_cast<int>(random.bounded(maxLength + 1));
    for (int i = 0; i < length; ++i)
        text += alphabet[static_cast<int>(random.bounded(alphabet.size()))];
    return text;
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
        QTest::newRow("case ignored") << QStringLiteral("%wEi%M_ng") << QStringLiteral("Tan Wei Ming") << true;
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
        QVERIFY(LikePattern(QStringLiteral("100%"), LikePattern::Wildcards::Access).matches(QStringLiteral("100%")));
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
};

QTEST_GUILESS_MAIN(LikePatternTest)
#include "tst_like_pattern.moc"
