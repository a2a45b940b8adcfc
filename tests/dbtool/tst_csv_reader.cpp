// The CSV rules of convodesk-db make.
#include "convodesk-db/CsvError.h"
#include "convodesk-db/CsvReader.h"

#include <QTest>

using namespace convodesk::dbtool;

namespace {
CsvTable parse(const char* text) {
    return CsvReader::parse(QByteArray(text), QStringLiteral("people.csv"));
}

QString errorOf(const QByteArray& text) {
    try {
        CsvReader::parse(text, QStringLiteral("people.csv"));
    } catch (const CsvError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}
} // namespace

class CsvReaderTest : public QObject {
    Q_OBJECT

private slots:
    void nullAndEmptyTextAreDifferent() {
        const CsvTable t = parse("A,B,C,D\n,\"\",x,\n");
        QCOMPARE(t.rows.size(), std::size_t(1));
        QVERIFY(!t.rows[0][0].has_value());
        QCOMPARE(t.rows[0][1], std::optional<QString>(QString()));
        QVERIFY(t.rows[0][1]->isEmpty() && t.rows[0][1].has_value());
        QCOMPARE(t.rows[0][2], std::optional<QString>(QStringLiteral("x")));
        QVERIFY(!t.rows[0][3].has_value()); // trailing comma: a last, Null field
    }

    void quotesDoubledQuotesAndLineBreaks() {
        const CsvTable t =
            parse("Name,Note\n\"Ma'arof, Ahmad\",\"say \"\"hi\"\"\nand go\"\r\nNext,\"a\r\nb\"\n");
        QCOMPARE(t.rows.size(), std::size_t(2));
        QCOMPARE(*t.rows[0][0], QStringLiteral("Ma'arof, Ahmad"));
        QCOMPARE(*t.rows[0][1], QStringLiteral("say \"hi\"\nand go"));
        QCOMPARE(*t.rows[1][1], QStringLiteral("a\r\nb"));
        QCOMPARE(t.rowLines, std::vector<int>({2, 4}));
    }

    void byteOrderMarkAndLineEndsDoNotChangeTheContent() {
        const CsvTable lf = parse("Id,Name\n1,Nur'ain\n2,陈美玲\n");
        const CsvTable crlf = parse("\xEF\xBB\xBFId,Name\r\n1,Nur'ain\r\n2,陈美玲");
        QCOMPARE(crlf.header, lf.header);
        QCOMPARE(crlf.header.first(), QStringLiteral("Id"));
        QCOMPARE(crlf.rows, lf.rows);
        QCOMPARE(*lf.rows[1][1], QStringLiteral("陈美玲"));
    }

    void blankLinesAreSkippedAndHeaderNamesFoundIgnoringCase() {
        const CsvTable t = parse("\n Id ,Name\n\n1,a\n\n");
        QCOMPARE(t.rows.size(), std::size_t(1));
        QCOMPARE(t.rowLines, std::vector<int>({4}));
        QCOMPARE(t.columnIndex(QStringLiteral("ID")), 0);
        QCOMPARE(t.columnIndex(QStringLiteral("name")), 1);
        QCOMPARE(t.columnIndex(QStringLiteral("Queue")), -1);
    }

    void errorsNameFileLineAndColumn_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("unterminated quote") << QByteArray("A,B\n1,2\n3,\"open\n4,5\n")
                                            << "people.csv, line 3, column 2: the quoted field is not closed";
        QTest::newRow("invalid UTF-8")
            << QByteArray("A,B\n1,ok\n2,bad\xC3\x28\n") << "people.csv, line 3, character 6: invalid UTF-8";
        QTest::newRow("overlong UTF-8")
            << QByteArray("A\n\xC0\xAF\n") << "people.csv, line 2, character 1: invalid UTF-8";
        QTest::newRow("truncated UTF-8 at the end")
            << QByteArray("A\nx\xE6\x88") << "line 2, character 2: invalid UTF-8";
        QTest::newRow("duplicate header")
            << QByteArray("Name,Phone,name\n") << "people.csv, line 1, column 3: duplicate header \"name\"";
        QTest::newRow("empty header name")
            << QByteArray("A,,C\n") << "line 1, column 2: the header names no column";
        QTest::newRow("quote inside unquoted")
            << QByteArray("A,B\n1,ab\"c\n") << "line 2, column 2: a quote inside an unquoted field";
        QTest::newRow("text after closing quote")
            << QByteArray("A,B\n\"x\"y,1\n") << "line 2, column 1: unexpected text after";
        QTest::newRow("too few fields")
            << QByteArray("A,B,C\n1,2\n") << "line 2: the row has 2 fields but the header names 3";
        QTest::newRow("empty file") << QByteArray("\xEF\xBB\xBF") << "the file is empty";
    }
    void errorsNameFileLineAndColumn() {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        const QString error = errorOf(text);
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void missingFileIsAnError() {
        QVERIFY_THROWS_EXCEPTION(CsvError, CsvReader::readFile(QStringLiteral("/nonexistent/graduates.csv")));
    }
};

QTEST_GUILESS_MAIN(CsvReaderTest)
#include "tst_csv_reader.moc"
