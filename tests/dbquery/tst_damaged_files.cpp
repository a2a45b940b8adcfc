// Damaged copies of a file our writer makes, one damaged byte or word at a time: every path
// that reads a value (full read, lookup through the stored query, text view, check) reports
// the damage, and neither `check` nor `query` ever ends by a signal.
#include "convodesk-db/CheckCommand.h"
#include "convodesk-db/QueryCommand.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/write/Writer.h"
#include "support/CommandRun.h"
#include "support/DeskFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace convodesk;
using jet4::Value;
namespace format = jet4::format;
using convodesk::testing::CommandRun;
using convodesk::testing::runCommand;

namespace {

int u16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8);
}
std::uint32_t u32(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint32_t>(u16(b, at)) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16);
}
void put16(QByteArray& b, qsizetype at, int v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(QByteArray& b, qsizetype at, std::uint32_t v) {
    put16(b, at, static_cast<int>(v & 0xFFFF));
    put16(b, at + 2, static_cast<int>(v >> 16));
}

// Where one stored row lies in the file.
struct Spot {
    qsizetype start = 0;
    int length = 0;
};

// The rows of the table defined on page `tdef`, in page and slot order.
std::vector<Spot> rowsOf(const QByteArray& b, std::uint32_t tdef) {
    std::vector<Spot> rows;
    for (qsizetype base = format::kPageSize; base + format::kPageSize <= b.size();
         base += format::kPageSize) {
        if (b[base] != format::PageData || u32(b, base + format::kDataOwnerOffset) != tdef)
            continue;
        const int count = u16(b, base + format::kDataRowCountOffset);
        for (int slot = 0; slot < count; ++slot) {
            const int entry = u16(b, base + format::kDataRowTableOffset + 2 * slot);
            if (entry & (format::kRowLookupFlag | format::kRowOverflowFlag))
                continue;
            const int start = entry & format::kRowOffsetMask;
            const int end = slot == 0 ? format::kPageSize
                                      : u16(b, base + format::kDataRowTableOffset + 2 * (slot - 1)) &
                                            format::kRowOffsetMask;
            rows.push_back({base + start, end - start});
        }
    }
    return rows;
}

// Position of variable-offset entry `i` of a row (entry 0 is where the variable data starts).
qsizetype varEntry(const QByteArray& b, const Spot& row, int i) {
    const int maskLength = (u16(b, row.start) + 7) / 8;
    return row.start + row.length - maskLength - 4 - 2 * i;
}

struct Layout {
    std::uint32_t graduatesTdef = 0;
    std::uint32_t catalogIdOffset = 0; // of MSysObjects' Id in its rows
    jet4::ColumnDef faculty;
    jet4::ColumnDef queue;
};

Layout layoutOf(const QString& path) {
    const auto db = jet4::Database::open(path);
    const jet4::TableDef* graduates = db->findTable(u"Graduates");
    const jet4::TableDef* catalog = db->findTable(u"MSysObjects");
    Layout layout;
    layout.graduatesTdef = graduates->tdefPage;
    layout.faculty = graduates->columns[graduates->columnIndex(u"Faculty")];
    layout.queue = graduates->columns[graduates->columnIndex(u"Queue")];
    layout.catalogIdOffset = 2 + catalog->columns[catalog->columnIndex(u"Id")].fixedOffset;
    return layout;
}

// Reads every value of every row of every table; the reader's error, if any.
std::optional<QString> readAllValues(const QString& path) {
    try {
        const auto db = jet4::Database::open(path);
        for (const QString& name : db->tableNames()) {
            const jet4::TableDef* table = db->findTable(name);
            auto cursor = db->openCursor(*table);
            while (cursor->next())
                for (int c = 0; c < static_cast<int>(table->columns.size()); ++c)
                    cursor->value(c);
        }
    } catch (const jet4::Error& error) {
        return error.message();
    }
    return std::nullopt;
}

} // namespace

class DamagedFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString good;
    QByteArray goodBytes;
    Layout layout;
    int damagedCount = 0;

    // Graduates with every field filled but the second graduate's Queue; Faculty holds at
    // most `facultyChars` characters.
    static void writeFile(const QString& path, int facultyChars) {
        testing::DeskFile file;
        jet4::WriterTable& people = file.graduates();
        for (jet4::WriterColumn& column : people.columns)
            if (column.name == QLatin1String("Faculty"))
                column.maxChars = facultyChars;
        const QString faculty = QStringLiteral("Faculty of Sciences").left(facultyChars);
        for (int i = 1; i <= 3; ++i) {
            std::vector<Value> row;
            for (const QString& text :
                 {QStringLiteral("20030000000%1").arg(i), QStringLiteral("Graduate %1").arg(i),
                  QStringLiteral("80010100000%1").arg(i), QStringLiteral("P1"), faculty,
                  QStringLiteral("017-873618%1").arg(i), QStringLiteral("Attending"), QStringLiteral("CV24")})
                row.push_back(Value::text(text));
            row.push_back(i == 2 ? Value::null() : Value::integer(i));
            people.rows.push_back(std::move(row));
        }
        file.programme().rows.push_back({Value::text(QStringLiteral("P1")),
                                         Value::text(QStringLiteral("Diploma")),
                                         Value::text(QStringLiteral("FSC"))});
        file.addGraduateQuery();
        file.write(path);
    }

    QString damaged(const QByteArray& bytes) {
        QString path = dir.filePath(QStringLiteral("damaged%1.mdb").arg(++damagedCount));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }

    static CommandRun lookup(const QString& path, const QString& id) {
        return runCommand<dbtool::QueryCommand>(
            {path, QStringLiteral("select * from Graduate where GraduateID = '%1'").arg(id)});
    }

    // The built tool on `path`: check and a lookup end with an exit code, never a signal.
    static void toolEndsCleanly(const QString& path) {
        const QString tool = qEnvironmentVariable("CONVODESK_BINARY_DIR") + QStringLiteral("/convodesk-db");
        for (const QStringList& args :
             {QStringList{QStringLiteral("check"), path},
              QStringList{QStringLiteral("query"), path,
                          QStringLiteral("select * from Graduate where GraduateID = '200300000001'")}}) {
            QProcess process;
            process.start(tool, args);
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QVERIFY2(process.exitCode() == 1 || process.exitCode() == 2,
                     qPrintable(args.join(u' ') + QString::number(process.exitCode())));
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        good = dir.filePath(QStringLiteral("good.mdb"));
        writeFile(good, 255);
        QFile file(good);
        QVERIFY(file.open(QIODevice::ReadOnly));
        goodBytes = file.readAll();
        layout = layoutOf(good);
        QVERIFY(!readAllValues(good));
        QCOMPARE(runCommand<dbtool::CheckCommand>({good}).exitCode, 0);
    }

    // One offset moved so that Faculty would run on into Phone, Status and Audio: the lookup
    // through the stored query fails like the full read, instead of showing the run-on text.
    void valueRunningIntoTheNextFieldsIsDamage() {
        QByteArray bytes = goodBytes;
        const Spot first = rowsOf(bytes, layout.graduatesTdef).front();
        const int varCount = u16(bytes, varEntry(bytes, first, 0) + 2);
        put16(bytes, varEntry(bytes, first, layout.faculty.varIndex + 1),
              u16(bytes, varEntry(bytes, first, varCount)));
        const QString path = damaged(bytes);

        const CommandRun hit = lookup(path, QStringLiteral("200300000001"));
        QCOMPARE(hit.exitCode, 2);
        QVERIFY2(hit.err.contains(QStringLiteral("variable offsets are out of order")), qPrintable(hit.err));
        QVERIFY(!hit.out.contains(QStringLiteral("Sciences017")));
        QVERIFY(readAllValues(path)->contains(QStringLiteral("out of order")));

        // Faculty read alone, as text view or value, sees the damage; so does Phone after it.
        const auto db = jet4::Database::open(path);
        const jet4::TableDef* graduates = db->findTable(u"Graduates");
        auto cursor = db->openCursor(*graduates);
        QVERIFY(cursor->next());
        QStringView view;
        const int faculty = graduates->columnIndex(u"Faculty");
        QVERIFY_THROWS_EXCEPTION(jet4::Error, cursor->textView(faculty, view));
        QVERIFY_THROWS_EXCEPTION(jet4::Error, cursor->value(faculty));
        QVERIFY_THROWS_EXCEPTION(jet4::Error, cursor->value(graduates->columnIndex(u"Phone")));
        QCOMPARE(cursor->value(graduates->columnIndex(u"Name")).asText(), QStringLiteral("Graduate 1"));
        toolEndsCleanly(path);
    }

    // The boundary between Faculty (3 characters at most) and Phone moved within the row:
    // the offsets stay in order, but Faculty is longer than its column allows.
    void textLongerThanItsColumnIsDamage() {
        const QString path = dir.filePath(QStringLiteral("short-faculty.mdb"));
        writeFile(path, 3);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        const Layout shortLayout = layoutOf(path);
        const Spot first = rowsOf(bytes, shortLayout.graduatesTdef).front();
        const qsizetype entry = varEntry(bytes, first, shortLayout.faculty.varIndex + 1);
        put16(bytes, entry, u16(bytes, entry) + 10);
        file.seek(0);
        file.write(bytes);
        file.close();

        const auto db = jet4::Database::open(path);
        const jet4::TableDef* graduates = db->findTable(u"Graduates");
        const int faculty = graduates->columnIndex(u"Faculty");
        auto cursor = db->openCursor(*graduates);
        QVERIFY(cursor->next());
        QCOMPARE(cursor->value(graduates->columnIndex(u"Name")).asText(), QStringLiteral("Graduate 1"));
        QVERIFY_THROWS_EXCEPTION(jet4::Error, cursor->value(faculty));
        QStringView view;
        QVERIFY_THROWS_EXCEPTION(jet4::Error, cursor->textView(faculty, view));
        QVERIFY(readAllValues(path)->contains(QStringLiteral("longer than the column allows")));
    }

    // Queue marked as an autonumber in the definition: the row whose Queue is Null is damaged.
    void nullWhereTheDefinitionForbidsItIsDamage() {
        QByteArray bytes = goodBytes;
        const qsizetype tdef = qsizetype(layout.graduatesTdef) * format::kPageSize;
        const int indexes = static_cast<int>(u32(bytes, tdef + format::kTdefRealIndexCountOffset));
        qsizetype descriptor = tdef + format::kTdefHeaderSize + indexes * format::kTdefRealIndexEntrySize;
        while (u16(bytes, descriptor + format::kColumnNumberOffset) != layout.queue.number)
            descriptor += format::kColumnDescriptorSize;
        bytes[descriptor + format::kColumnFlagsOffset] =
            static_cast<char>(bytes[descriptor + format::kColumnFlagsOffset] | format::kColumnFlagAutoLong);
        const QString path = damaged(bytes);

        QVERIFY(readAllValues(path)->contains(QStringLiteral("\"Queue\" is Null")));
        QCOMPARE(lookup(path, QStringLiteral("200300000003")).exitCode, 2);
        const CommandRun check = runCommand<dbtool::CheckCommand>({path});
        QCOMPARE(check.exitCode, 1);
        QVERIFY(check.out.contains(QStringLiteral("FAIL  Graduates")));
    }

    // The usage map loses the table's pages: Graduates reads as no rows, which its definition
    // contradicts. Check fails naming the table; a lookup is an error, not a miss.
    void usageMapThatLosesRowsIsDamage() {
        QByteArray bytes = goodBytes;
        const std::uint32_t map =
            u32(bytes, qsizetype(layout.graduatesTdef) * format::kPageSize + format::kTdefUsedPagesMapOffset);
        const qsizetype page = qsizetype(format::pointerPage(map)) * format::kPageSize;
        const int slot = format::pointerSlot(map);
        const int start = u16(bytes, page + format::kDataRowTableOffset + 2 * slot) & format::kRowOffsetMask;
        const int end = slot == 0 ? format::kPageSize
                                  : u16(bytes, page + format::kDataRowTableOffset + 2 * (slot - 1)) &
                                        format::kRowOffsetMask;
        QCOMPARE(int(bytes[page + start]), int(format::kUsageMapInline));
        for (int i = start + 5; i < end; ++i)
            bytes[page + i] = 0;
        const QString path = damaged(bytes);

        const auto db = jet4::Database::open(path);
        const jet4::TableDef* graduates = db->findTable(u"Graduates");
        const auto counted = db->checkRowCount(*graduates);
        QVERIFY(counted.rowsMissing());
        QCOMPARE(counted.counted, std::int64_t(0));
        auto cursor = db->openCursor(*graduates);
        try {
            cursor->next();
            QFAIL("no error");
        } catch (const jet4::Error& error) {
            QVERIFY2(
                error.message().contains(QStringLiteral("table \"Graduates\": 0 rows were found, but its "
                                                        "definition counts 3")),
                qPrintable(error.message()));
        }
        const CommandRun miss = lookup(path, QStringLiteral("200300000001"));
        QCOMPARE(miss.exitCode, 2);
        QVERIFY(miss.err.contains(QStringLiteral("damaged")));
        const CommandRun check = runCommand<dbtool::CheckCommand>({path});
        QCOMPARE(check.exitCode, 1);
        QVERIFY2(check.out.contains(QStringLiteral("FAIL  Graduates")), qPrintable(check.out));
        // One line for the table, naming the sources that read it too.
        QCOMPARE(check.out.count(QStringLiteral("FAIL")), 1);
        QVERIFY2(check.out.contains(QStringLiteral("FAIL  Graduates, Graduate")), qPrintable(check.out));
        toolEndsCleanly(path);
    }

    // A definition whose row count lags behind its rows (Access leaves such counts in sound
    // files): every row is read, the lookup finds the last one and check passes.
    void rowCountBelowTheRowsIsNoDamage() {
        QByteArray bytes = goodBytes;
        put32(bytes, qsizetype(layout.graduatesTdef) * format::kPageSize + format::kTdefRowCountOffset, 1);
        const QString path = damaged(bytes);

        QVERIFY(!readAllValues(path));
        const auto db = jet4::Database::open(path);
        const auto counted = db->checkRowCount(*db->findTable(u"Graduates"));
        QCOMPARE(counted.stored, std::int64_t(1));
        QCOMPARE(counted.counted, std::int64_t(3));
        QVERIFY(!counted.rowsMissing());
        const CommandRun hit = lookup(path, QStringLiteral("200300000003"));
        QCOMPARE(hit.exitCode, 0);
        QVERIFY2(hit.out.contains(QStringLiteral("Graduate 3")), qPrintable(hit.out));
        QCOMPARE(runCommand<dbtool::CheckCommand>({path}).exitCode, 0);
    }

    // Damage that made `check` abort: its own guard reports it and the tool goes on.
    void checkReportsDamagedDefinitionsAndCatalog_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("words");
        const qsizetype tdef = qsizetype(layout.graduatesTdef) * format::kPageSize;
        QByteArray columns = goodBytes;
        put16(columns, tdef + format::kTdefColumnCountOffset, 0x0FFF);
        QTest::newRow("column count") << columns << QStringLiteral("4095 columns");
        QByteArray loop = goodBytes;
        put32(loop, tdef + format::kTdefNextPageOffset, layout.graduatesTdef);
        QTest::newRow("next page is itself") << loop << QStringLiteral("loop");
        QByteArray catalog = goodBytes;
        for (const Spot& row : rowsOf(catalog, format::kCatalogTdefPage))
            if (u32(catalog, row.start + layout.catalogIdOffset) == layout.graduatesTdef)
                put32(catalog, row.start + layout.catalogIdOffset, 1);
        QTest::newRow("catalog id") << catalog << QStringLiteral("not a table definition page");
    }

    void checkReportsDamagedDefinitionsAndCatalog() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, words);
        const QString path = damaged(bytes);
        const CommandRun check = runCommand<dbtool::CheckCommand>({path});
        QCOMPARE(check.exitCode, 1);
        QVERIFY2(check.out.contains(QStringLiteral("FAIL  Graduates")) && check.out.contains(words),
                 qPrintable(check.out));
        QCOMPARE(lookup(path, QStringLiteral("200300000001")).exitCode, 2);
        toolEndsCleanly(path);
    }
};

QTEST_GUILESS_MAIN(DamagedFilesTest)
#include "tst_damaged_files.moc"
