// Keys of Jet 4's General sort order: the worked examples byte for byte (several are keys
// Access stored in real indexes), then each ordering rule on a list of words.
#include "data/jet4/TextSortKey.h"

#include <QRandomGenerator>
#include <QTest>

using convodesk::jet4::TextSortKey;

namespace {

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

class TextSortKeyTest : public QObject {
    Q_OBJECT

private slots:
    void workedExamples_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QByteArray>("key");
        const auto row = [](const char* text, const char* key, bool descending = false) {
            QTest::newRow(text) << u(text) << descending << hex(key);
        };
        row("abc", "7F 4A 4C 4D 01 00");
        row("ABC", "7F 4A 4C 4D 01 00");
        row("Ábc", "7F 4A 4C 4D 01 0E 00");
        row("a-b", "7F 4A 4C 01 01 01 01 80 0B 06 82 00");
        row("co-op", "7F 4D 64 64 66 01 01 01 01 80 0F 06 82 00");
        row("10", "7F 38 36 01 00");
        row("9", "7F 48 01 00");
        // Stored by Access in an index of a real file:
        row("Bon app'", "7F 4C 64 62 07 4A 66 66 01 01 01 01 80 23 06 80 00");
        row("B's Beverages", "7F 4C 6B 07 4C 51 71 51 69 4A 55 51 6B 01 01 01 01 80 0B 06 80 00");
        row("Bólido Comidas preparadas",
            "7F 4C 64 5E 59 4F 64 07 4D 64 60 59 4F 4A 6B 07 66 69 51 66 4A 69 4A 4F "
            "4A 6B 01 02 0E 00");
        row("Мир", "7F 79 43 79 3B 79 48 01 00");
        row("漢字仮名交じり文",
            "7F C0 B6 AC AC A0 0D A5 47 9F BE 7F 13 7F 43 B6 F6 01 02 02 02 02 02 03 01 01 FF 02 "
            "80 FF 80 00");
        row("Zürich", "7F 78 6F 69 59 4D 57 01 02 13 00");
        row("Straße", "7F 6B 6D 69 4A 6B 6B 51 01 00");
        row("北京", "7F A4 49 9F C6 01 00");
        row("தமிழ்", "7F 7B 67 7B 6B 7B 77 7B 71 01 02 02 02 06 00"); // a combining mark
        row("x😀", "7F 75 B0 3F B6 FC 01 02 3F 3F 00");               // a surrogate pair
        row("abc", "80 B5 B3 B2 FE FF 00", true);
        row("", "7F 01 00");
        row("  ", "7F 01 00");
        row("ab  ", "7F 4A 4C 01 00");
        // A two-letter character counts as one position for the marks after it: the hyphen
        // after "Nuß" is at position 10 (80 2F), not 11 as one Access 2000 build wrote it.
        row("NuNuCa Nuß-Nougat-Creme",
            "7F 62 6F 62 6F 4D 4A 07 62 6F 6B 6B 62 64 6F 55 4A 6D 4D 69 51 60 51 01 "
            "01 01 01 80 2F 06 82 80 47 06 82 00");
    }
    void workedExamples() {
        QFETCH(QString, text);
        QFETCH(bool, descending);
        QFETCH(QByteArray, key);
        QCOMPARE(TextSortKey::build(text, descending).toHex(' '), key.toHex(' '));
    }

    // Accents after a two-letter character (Æ) keep one position each, as an Access 2003
    // file stores "ÅÆÇ": Å's accent, a placeholder for Æ, Ç's accent.
    void twoLetterCharacterTakesOnePosition() {
        const QByteArray key = TextSortKey::build(u("ÅÆÇ"));
        QCOMPARE(key.toHex(' '), hex("7F 4A 4A 51 4D 01 1A 02 1C 00").toHex(' '));
    }

    // Each list is in Jet's order; neighbours joined by '=' have equal keys.
    void ordersLikeJet_data() {
        QTest::addColumn<QStringList>("words");
        const auto row = [](const char* name, const char* words) {
            QTest::newRow(name) << u(words).split(QLatin1Char(' '));
        };
        // Accented letters sort with their base letter; the accent decides only a tie.
        row("accent after the letters", "Bolero Bólido Bon␣app' Bonn");
        row("accent only breaks ties", "abc Ábc abd");
        row("accents in table order", "resume resumé résume résumé");
        row("letter case ignored", "apple =Apple =APPLE banana =BANANA");
        // Hyphen and apostrophe are passed over, deciding only between equal texts.
        row("hyphen and apostrophe last", "coop co-op cop");
        row("apostrophe ties", "Bons Bon's Bont");
        // Digits compare as characters, and come before letters; space before both.
        row("digits as characters", "1 10 100 11 2 9 A");
        row("space first", "a␣b ab");
        // Other punctuation by Jet's table, not by code point: '/' before '+', '_' before '0'.
        row("punctuation table", "x/ x+ x< x0");
        row("underscore before digits", "_a 0a Aa");
        // Two-letter characters sort as their two letters.
        row("sharp s is ss", "Strase Straße =Strasse Strast");
        row("ae ligature", "Adler Æble =AEble Aeg Af");
        row("oe ligature", "Od Œuvre =OEuvre =oeuvre Of");
    }
    void ordersLikeJet() {
        QFETCH(QStringList, words);
        for (qsizetype i = 1; i < words.size(); ++i) {
            QString word = words[i];
            const bool equal = word.startsWith(QLatin1Char('='));
            if (equal)
                word.remove(0, 1);
            QString before = words[i - 1];
            if (before.startsWith(QLatin1Char('=')))
                before.remove(0, 1);
            // '␣' in a list stands for a space (words are split at spaces).
            word.replace(QChar(0x2423), QLatin1Char(' '));
            before.replace(QChar(0x2423), QLatin1Char(' '));
            const int c = TextSortKey::compare(before, word);
            if (equal)
                QVERIFY2(c == 0, qPrintable(before + QStringLiteral(" = ") + word));
            else
                QVERIFY2(c < 0, qPrintable(before + QStringLiteral(" < ") + word));
            QCOMPARE(TextSortKey::build(before) < TextSortKey::build(word), c < 0);
        }
    }

    // compare() decides most pairs on the inline parts without building keys: it must agree
    // with the keys' bytewise order everywhere, surrogates and marks included.
    void compareAgreesWithKeys() {
        const QString alphabet = QString::fromUtf8("aAbá-' ßÆe\u00e9\u0bcd\u0bb4\u3058") + QChar(0xD83D) +
                                 QChar(0xDE00) + QChar(0xD8FE) + QChar(0xDC01) + QChar(0x00AD);
        QRandomGenerator random(20261208);
        const auto text = [&] {
            QString out;
            for (int n = random.bounded(6); n > 0; --n)
                out += alphabet[random.bounded(alphabet.size())];
            return out;
        };
        for (int i = 0; i < 20000; ++i) {
            const QString a = text();
            const QString b = text();
            const QByteArray x = TextSortKey::build(a);
            const QByteArray y = TextSortKey::build(b);
            const int expected = x < y ? -1 : (y < x ? 1 : 0);
            const int c = TextSortKey::compare(a, b);
            QVERIFY2((c > 0) - (c < 0) == expected, qPrintable(a + QStringLiteral(" / ") + b));
        }
    }

    // Only the first 255 characters count. Every code unit has a key; outside the surrogates
    // (whose two-byte codes are computed and may hold 00 or 01, as U+D8FE: B1 00), no inline
    // code holds 00 or 01, so the first 01 ends the inline part.
    void longTextsAndEveryUnit() {
        const QString base(255, QLatin1Char('a'));
        QCOMPARE(TextSortKey::build(base + QStringLiteral("b")), TextSortKey::build(base));
        QVERIFY(TextSortKey::compare(base.left(254) + QStringLiteral("b"), base) > 0);
        for (int unit = 0; unit < 0x10000; ++unit) {
            const QByteArray key = TextSortKey::build(QString(QChar(static_cast<char16_t>(unit))));
            QVERIFY(key.startsWith('\x7F') && key.endsWith('\0'));
            if (unit >= 0xD800 && unit <= 0xDFFF)
                continue;
            const QByteArray inlinePart = key.left(key.indexOf('\x01'));
            QVERIFY2(!inlinePart.isEmpty() && !inlinePart.contains('\0'),
                     qPrintable(QString::number(unit, 16)));
        }
    }
};

QTEST_GUILESS_MAIN(TextSortKeyTest)
#include "tst_text_sort_key.moc"
