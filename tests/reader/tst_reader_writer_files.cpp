// Files made by our writer read back: every type it writes, Null, memo sizes across the three
// storage forms, non-ASCII and non-BMP text, a stored query, and 100,000 rows.
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/read/Database.h"
#include "support/ReferenceJson.h"
#include "support/TempDatabase.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <functional>

using namespace convodesk;
using jet4::ColumnType;
using jet4::Value;

namespace {

// A table "Big" of `rows` rows: GraduateID 0, 1, ... and a Name of `width` made by `name`.
jet4::WriterTable bigTable(int rows, int width, const std::function<QString(int)>& name) {
    jet4::WriterTable t;
    t.name = QStringLiteral("Big");
    t.columns = {{"GraduateID", ColumnType::Long}, {"Name", ColumnType::Text, width}};
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({Value::integer(i), Value::text(name(i))});
    return t;
}

QString graduateName(int i) {
    return QStringLiteral("Graduate %1").arg(i);
}

// `message` is what reading reported: the file changed when it was cut short, else nothing.
void verifyChangedWhenCut(bool cutShort, const QString& message) {
    if (cutShort)
        QVERIFY2(message.contains(QLatin1String("changed while it was being read")), qPrintable(message));
    else
        QVERIFY2(message.isEmpty(), qPrintable(message));
}

} // namespace

class ReaderWriterFilesTest : public QObject {
    Q_OBJECT

private slots:
    void everyTypeAndNull() {
        jet4::WriterTable t;
        t.name = QStringLiteral("Graduates");
        t.columns = {
            {"Id", ColumnType::Long},         {"Name", ColumnType::Text, 50}, {"Note", ColumnType::Memo},
            {"Small", ColumnType::Byte},      {"Mid", ColumnType::Integer},   {"Mark", ColumnType::Double},
            {"Present", ColumnType::Boolean}, {"Born", ColumnType::DateTime}, {"Fee", ColumnType::Currency}};
        t.rows.push_back({Value::integer(-2147483647 - 1), Value::text(QStringLiteral("Zoë Ørsted 名前")),
                          Value::text(QStringLiteral("😀 outside the BMP")), Value::integer(255),
                          Value::integer(-32768), Value::real(0.1), Value::boolean(true),
                          Value::dateTime(27291.75), Value::currency(-35000)});
        t.rows.push_back({Value::integer(7), Value::text(QString()), Value::text(QString()), Value::null(),
                          Value::null(), Value::null(), Value::boolean(false), Value::null(), Value::null()});
        t.rows.push_back({Value::integer(8), Value::null(), Value::null(), Value::integer(0),
                          Value::integer(32767), Value::real(-1e300), Value::boolean(true),
                          Value::dateTime(2958465.99998843), Value::currency(9223372036854775807LL)});
        jet4::QueryDef q;
        q.name = QStringLiteral("ByName");
        q.columns = {{QStringLiteral("Graduates.Name"), QStringLiteral("Who"), 0}};
        q.tables = {{QStringLiteral("Graduates"), QString(), QString()}};
        q.where = QStringLiteral("((Graduates.Id)>7)");
        q.orderBy = {{QStringLiteral("Graduates.Name"), true}};

        testing::TempDatabase dir;
        const auto db = jet4::Database::open(dir.write({t}, {q}));
        const jet4::TableDef* table = db->findTable(u"graduates");
        QVERIFY(table);
        QCOMPARE(table->columns.size(), t.columns.size());
        auto cursor = db->openCursor(*table);
        for (const auto& expected : t.rows) {
            QVERIFY(cursor->next());
            for (int c = 0; c < int(expected.size()); ++c) {
                Value v = cursor->value(c);
                Value want = expected[std::size_t(c)];
                if (t.columns[std::size_t(c)].type == ColumnType::Byte && !want.isNull())
                    want = Value::integer(want.asInteger());
                QVERIFY2(v == want,
                         qPrintable(QStringLiteral("row %1 column %2").arg(cursor->rowsRead()).arg(c)));
            }
        }
        QVERIFY(!cursor->next());
        QVERIFY_THROWS_EXCEPTION(jet4::Error, cursor->value(1)); // no current row
        const auto query = db->findQuery(u"byname");
        QVERIFY(query);
        QCOMPARE(query->columns.at(0).alias, QStringLiteral("Who"));
        QCOMPARE(query->where, q.where);
        QVERIFY(query->orderBy.at(0).descending);
    }

    void memoSizes() {
        jet4::WriterTable t;
        t.name = QStringLiteral("Notes");
        t.columns = {{"Id", ColumnType::Long}, {"Body", ColumnType::Memo}};
        const QList<int> sizes = {0, 1, 32, 33, 64, 2000, 2038, 2039, 4000, 5000, 20000, 300000};
        for (int size : sizes) {
            QString text;
            for (int i = 0; i < size; ++i)
                text += QChar(i % 7 == 0 ? u'é' : char16_t(u'a' + i % 26));
            t.rows.push_back({Value::integer(size), Value::text(text)});
        }
        testing::TempDatabase dir;
        const auto db = jet4::Database::open(dir.write({t}));
        auto cursor = db->openCursor(*db->findTable(u"Notes"));
        for (const auto& row : t.rows) {
            QVERIFY(cursor->next());
            QCOMPARE(cursor->value(1).asText(), row[1].asText());
        }
        QVERIFY(!cursor->next());
    }

    // A long table read again after its pages have been let go on the way (a whole pass, and two
    // cursors taking turns), from the file's mapping and from bytes held in memory.
    void hundredThousandRows() {
        jet4::WriterTable t;
        t.name = QStringLiteral("Big");
        t.columns = {{"GraduateID", ColumnType::Long}, {"Name", ColumnType::Text, 40}};
        constexpr int kRows = 100000;
        for (int i = 0; i < kRows; ++i)
            t.rows.push_back({Value::integer(i), Value::text(QStringLiteral("Graduate %1").arg(i))});
        testing::TempDatabase dir;
        const QString path = dir.write({t});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const auto& db : {jet4::Database::open(path), jet4::Database::openBytes(bytes, path)}) {
            const jet4::TableDef* table = db->findTable(u"Big");
            QCOMPARE(table->storedRowCount, std::uint32_t(kRows));
            for (int pass = 0; pass < 2; ++pass) {
                auto cursor = db->openCursor(*table);
                std::int64_t expected = 0;
                while (cursor->next()) {
                    QCOMPARE(cursor->value(0).asInteger(), expected);
                    if (expected % 9973 == 0)
                        QCOMPARE(cursor->value(1).asText(), QStringLiteral("Graduate %1").arg(expected));
                    ++expected;
                }
                QCOMPARE(expected, std::int64_t(kRows));
            }
            auto ahead = db->openCursor(*table);
            auto behind = db->openCursor(*table);
            for (int i = 0; i < 20000; ++i)
                QVERIFY(ahead->next());
            for (std::int64_t i = 0; i < kRows; ++i) {
                QVERIFY(behind->next());
                QCOMPARE(behind->value(1).asText(), QStringLiteral("Graduate %1").arg(i));
                if (i + 20000 < kRows) {
                    QVERIFY(ahead->next());
                    QCOMPARE(ahead->value(0).asInteger(), i + 20000);
                }
            }
            QVERIFY(!ahead->next() && !behind->next());
            QVERIFY(!db->checkRowCount(*table).rowsMissing());
        }
    }

    // A file copied over in place (cut short, then rewritten) or written to while a table is
    // read gives an error at the end of the table, never a crash or a quiet short answer.
    void fileChangedWhileRead_data() {
        QTest::addColumn<bool>("cutShort");
        QTest::newRow("cut short") << true;
        QTest::newRow("written to") << false;
    }
    void fileChangedWhileRead() {
        QFETCH(bool, cutShort);
        testing::TempDatabase dir;
        const QString path = dir.write({bigTable(20000, 40, graduateName)});
        const auto db = jet4::Database::open(path);
        auto cursor = db->openCursor(*db->findTable(u"Big"));
        for (int i = 0; i < 10; ++i)
            QVERIFY(cursor->next());
        QFile file(path);
        if (cutShort) {
            QVERIFY(file.resize(0));
        } else {
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                     QFileDevice::FileModificationTime));
        }
        QString message;
        try {
            while (cursor->next())
                cursor->value(1);
        } catch (const jet4::Error& error) {
            QCOMPARE(error.kind(), jet4::Error::Kind::Io);
            message = QString::fromStdString(error.what());
        }
        QVERIFY2(message.contains(QLatin1String("changed while it was being read")), qPrintable(message));
    }

    // A table of several megabytes is read in runs of pages: every row comes once, in order,
    // across the runs; a file cut short after the first runs is reported as changed.
    void tableLongerThanOneRun_data() {
        QTest::addColumn<bool>("cutShort");
        QTest::newRow("whole") << false;
        QTest::newRow("cut short after the first runs") << true;
    }
    void tableLongerThanOneRun() {
        QFETCH(bool, cutShort);
        const int rows = 60000;
        const auto nameOf = [](int i) {
            return QStringLiteral("Graduate %1 of the long list, \u6797 %2").arg(i).arg(i % 7);
        };
        testing::TempDatabase dir;
        const QString path = dir.write({bigTable(rows, 80, nameOf)});
        QVERIFY(QFileInfo(path).size() > 4 * (1 << 20));
        const auto db = jet4::Database::open(path);
        auto cursor = db->openCursor(*db->findTable(u"Big"));
        int seen = 0;
        QString message;
        try {
            while (cursor->next()) {
                QCOMPARE(cursor->value(0).asInteger(), seen);
                QCOMPARE(cursor->value(1).asText(), nameOf(seen));
                if (++seen == rows / 2 && cutShort)
                    QVERIFY(QFile(path).resize(1 << 20));
            }
        } catch (const jet4::Error& error) {
            QCOMPARE(error.kind(), jet4::Error::Kind::Io);
            message = QString::fromStdString(error.what());
        }
        verifyChangedWhenCut(cutShort, message);
        if (!cutShort)
            QCOMPARE(seen, rows);
    }

    // Seeks read the pages they need one small group at a time, then the whole file once many
    // have been wanted: every seek finds its row across the change, and a file cut short
    // before a seek reads its pages is reported as changed.
    void seeksBeforeAndAfterManyPages_data() {
        QTest::addColumn<bool>("cutShort");
        QTest::newRow("whole") << false;
        QTest::newRow("cut short before the seeks") << true;
    }
    void seeksBeforeAndAfterManyPages() {
        QFETCH(bool, cutShort);
        const int rows = 20000;
        jet4::WriterTable t = bigTable(rows, 40, graduateName);
        t.primaryKey = {QStringLiteral("GraduateID")};
        testing::TempDatabase dir;
        const QString path = dir.write({t});
        const auto db = jet4::Database::open(path);
        const jet4::TableDef* table = db->findTable(u"Big");
        QVERIFY(table);
        if (cutShort)
            QVERIFY(QFile(path).resize(4 * jet4::format::kPageSize));
        QString message;
        int found = 0;
        try {
            for (int id = 7; id < rows; id += 97) {
                auto cursor = db->openSeek(*table, 0, Value::integer(id));
                QVERIFY(cursor);
                QVERIFY(cursor->next());
                QCOMPARE(cursor->value(1).asText(), graduateName(id));
                QVERIFY(!cursor->next());
                ++found;
            }
        } catch (const jet4::Error& error) {
            QCOMPARE(error.kind(), jet4::Error::Kind::Io);
            message = QString::fromStdString(error.what());
        }
        verifyChangedWhenCut(cutShort, message);
        if (!cutShort)
            QCOMPARE(found, (rows - 7 + 96) / 97);
    }
};

QTEST_GUILESS_MAIN(ReaderWriterFilesTest)
#include "tst_reader_writer_files.moc"
