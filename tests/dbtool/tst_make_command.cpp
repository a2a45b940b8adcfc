// convodesk-db make: CSV to a desk database, checked through both reference readers, and
// every kind of bad input ending with its message, exit status 2 and no file.
#include "convodesk-db/CsvReader.h"
#include "convodesk-db/GraduateTables.h"
#include "convodesk-db/MakeCommand.h"
#include "support/CommandRun.h"
#include "support/ReferenceReaders.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using namespace convodesk::dbtool;
using namespace convodesk::testing;

namespace {
const QByteArray kProgrammes = "Program_Code,Program_Desc,Program_Faculty\n"
                               "DIT,Diploma in Information Technology,Faculty of Computing\n"
                               "DBA,\"Diploma in Business Administration, Part-time\",Faculty of Business\n";

QString sourceDir() {
    return qEnvironmentVariable("CONVODESK_SOURCE_DIR");
}

class Folder {
public:
    QString file(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
    CommandRun make(const QByteArray& graduates, const QStringList& extra = {}) const {
        return makeWith(write(QStringLiteral("graduates.csv"), graduates),
                        write(QStringLiteral("programmes.csv"), kProgrammes), extra);
    }
    CommandRun makeWith(const QString& graduates, const QString& programmes,
                        const QStringList& extra = {}) const {
        return runCommand<MakeCommand>(QStringList{QStringLiteral("--graduates"), graduates,
                                                   QStringLiteral("--programmes"), programmes,
                                                   QStringLiteral("--output"), output()} +
                                       extra);
    }
    QString output() const { return file(QStringLiteral("Tassel.mdb")); }
    bool hasOutput() const { return QFile::exists(output()); }
    QStringList files() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir dir_;
};

// The rows mdb-reader returns for a table, each value as JSON.
QJsonArray readerRows(const QString& file, const QString& table) {
    return ReferenceReaders::mdbReaderDump(file, {table})
        .value(QStringLiteral("data"))
        .toObject()
        .value(table)
        .toObject()
        .value(QStringLiteral("rows"))
        .toArray();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QJsonValue json(const CsvTable::Field& f) {
    return f ? QJsonValue(*f) : QJsonValue(QJsonValue::Null);
}
} // namespace

class MakeCommandTest : public QObject {
    Q_OBJECT

private slots:
    // The demo files, as the build turns them into Tassel.mdb: every value in both readers.
    void demoCsvRoundTripsThroughBothReaders() {
        Folder folder;
        const QString graduates = sourceDir() + QStringLiteral("/resources/demo/graduates.csv");
        const QString programmes = sourceDir() + QStringLiteral("/resources/demo/programmes.csv");
        const CommandRun r = folder.makeWith(graduates, programmes);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        const QString file = folder.output();
        QCOMPARE(ReferenceReaders::mdbTables(file),
                 QStringList({QStringLiteral("Graduates"), QStringLiteral("Programme")}));
        QCOMPARE(ReferenceReaders::mdbQueryNames(file), QStringList({QStringLiteral("Graduate")}));
        QCOMPARE(ReferenceReaders::mdbQuerySql(file, QStringLiteral("Graduate")),
                 QStringLiteral(
                     "SELECT Graduates.GraduateID,Graduates.Name,Programme.Program_Desc,Graduates.Faculty,"
                     "Graduates.Queue FROM [Graduates],[Programme]"));

        const CsvTable csv = CsvReader::readFile(graduates);
        QVERIFY(csv.rows.size() >= 150);
        const CsvTable exported = ReferenceReaders::mdbExport(file, QStringLiteral("Graduates"));
        QCOMPARE(exported.header, GraduateTables::graduateColumns());
        QCOMPARE(exported.rows.size(), csv.rows.size());
        const QJsonArray rows = readerRows(file, QStringLiteral("Graduates"));
        QCOMPARE(rows.size(), static_cast<qsizetype>(csv.rows.size()));
        int nulls = 0, empties = 0;
        for (std::size_t r = 0; r < csv.rows.size(); ++r) {
            for (const QString& column : GraduateTables::graduateColumns()) {
                const auto c = static_cast<std::size_t>(csv.columnIndex(column));
                const auto out = static_cast<std::size_t>(exported.columnIndex(column));
                const CsvTable::Field& expected = csv.rows[r][c];
                nulls += expected ? 0 : 1;
                empties += expected && expected->isEmpty() ? 1 : 0;
                // libmdb reports "" as Null; mdb-reader keeps the two apart.
                QCOMPARE(exported.rows[r][out], expected && expected->isEmpty() ? std::nullopt : expected);
                const QJsonValue fromReader =
                    rows[static_cast<qsizetype>(r)].toArray()[static_cast<qsizetype>(out)];
                if (column == QLatin1String("Queue"))
                    QCOMPARE(fromReader,
                             expected ? QJsonValue(expected->toDouble()) : QJsonValue(QJsonValue::Null));
                else
                    QCOMPARE(fromReader, json(expected));
            }
        }
        QVERIFY(nulls > 0);
        QCOMPARE(empties, 1);
    }

    void columnOrderIsFreeAndExtrasFollowAsText() {
        Folder folder;
        const CommandRun r = folder.make(
            "Queue,Nickname,audio,Status,Phone,Faculty,Programme,IC,Name,GraduateID,Remark\n"
            "-2147483648,Ain,,Attending,\"\",FC,DIT,900101-01-1234,Nur'ain binti Ma'arof,CV24DIT00001,\n"
            "2147483647,,a.wav,Absent,012,FB,XXX,IC2,陈美玲,CV24DBA00002,\"multi\nline\"\n"
            " 7 ,,,,,,,,,CV24DBA00003,\n");
        QCOMPARE(r.exitCode, 0);
        const CsvTable exported = ReferenceReaders::mdbExport(folder.output(), QStringLiteral("Graduates"));
        QCOMPARE(exported.header, GraduateTables::graduateColumns() +
                                      QStringList({QStringLiteral("Nickname"), QStringLiteral("Remark")}));
        const QJsonArray rows = readerRows(folder.output(), QStringLiteral("Graduates"));
        QCOMPARE(rows[0].toArray()[8], QJsonValue(-2147483648.0));
        QCOMPARE(rows[1].toArray()[8], QJsonValue(2147483647.0));
        QCOMPARE(rows[2].toArray()[8], QJsonValue(7.0));
        QCOMPARE(rows[0].toArray()[5], QJsonValue(QString()));
        QCOMPARE(rows[1].toArray()[5], QJsonValue(QStringLiteral("012")));
        QCOMPARE(rows[1].toArray()[10], QJsonValue(QStringLiteral("multi\nline")));
        QCOMPARE(rows[1].toArray()[1], QJsonValue(QStringLiteral("陈美玲")));
        QCOMPARE(rows[2].toArray()[9], QJsonValue(QJsonValue::Null));
        const QString schema = ReferenceReaders::mdbSchema(folder.output());
        QVERIFY(schema.contains(QStringLiteral("[Queue]\t\t\tLong Integer")));
        QVERIFY(schema.contains(QStringLiteral("[Remark]\t\t\tText (255)")));
    }

    void graduateTableHoldsTheJoinedRows() {
        Folder folder;
        const CommandRun r = folder.make("GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\n"
                                         "G1,Ann,1,dit,FC,,,,1\n"
                                         "G2,Ben,2,NONE,FX,,,,\n"
                                         "G3,Chan,3,,FB,,,,3\n",
                                         {QStringLiteral("--graduate-table")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(ReferenceReaders::mdbTables(folder.output()),
                 QStringList(
                     {QStringLiteral("Graduates"), QStringLiteral("Programme"), QStringLiteral("Graduate")}));
        QCOMPARE(ReferenceReaders::mdbQueryNames(folder.output()), QStringList());
        const QJsonArray rows = readerRows(folder.output(), QStringLiteral("Graduate"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toArray(), QJsonArray({QStringLiteral("G1"), QStringLiteral("Ann"),
                                                QStringLiteral("Diploma in Information Technology"),
                                                QStringLiteral("FC"), 1.0}));
        QCOMPARE(rows[1].toArray(), QJsonArray({QStringLiteral("G2"), QStringLiteral("Ben"), QJsonValue(),
                                                QStringLiteral("FX"), QJsonValue()}));
        QCOMPARE(rows[2].toArray()[2], QJsonValue(QJsonValue::Null));
    }

    void badInputEndsWithItsMessageAndNoFile_data() {
        QTest::addColumn<QByteArray>("graduates");
        QTest::addColumn<QString>("message");
        const QByteArray header = "GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\n";
        QTest::newRow("missing column")
            << QByteArray("GraduateID,Name,IC,Programme,Faculty,Phone,Status,Queue\nG1,A,1,P,F,,,1\n")
            << "graduates.csv, line 1: the required column \"Audio\" is missing";
        QTest::newRow("queue not a number")
            << header + "G1,A,1,P,F,,,,1\nG2,B,2,P,F,,,,abc\n"
            << "graduates.csv, line 3, column 9 (Queue): \"abc\" is not a whole number";
        QTest::newRow("queue fraction") << header + "G1,A,1,P,F,,,,12.5\n"
                                        << "line 2, column 9 (Queue): \"12.5\"";
        QTest::newRow("queue too large") << header + "G1,A,1,P,F,,,,2147483648\n"
                                         << "line 2, column 9 (Queue): \"2147483648\"";
        QTest::newRow("text too long")
            << header + "G1," + QByteArray(256, 'n') + ",1,P,F,,,,1\n"
            << "graduates.csv, line 2, column 2 (Name): the text has 256 characters";
        QTest::newRow("row too large")
            << header + QByteArray(255, 'g') + "," + QByteArray(255, 'n') + "," + QByteArray(255, 'i') + "," +
                   QByteArray(255, 'p') + "," + QByteArray(255, 'f') + "," + QByteArray(255, 'h') + "," +
                   QByteArray(255, 's') + "," + QByteArray(255, 'a') + ",1\n"
            << "graduates.csv, line 2: the row's fields take 4108 bytes";
        QTest::newRow("unusable column name")
            << QByteArray("GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue,Note.1\n")
            << "graduates.csv, line 1, column 10 (Note.1): the name contains a character";
        QTest::newRow("unterminated quote")
            << header + "G1,\"A,1,P,F,,,,1\n"
            << "graduates.csv, line 2, column 2: the quoted field is not closed";
        QTest::newRow("invalid UTF-8") << header + "G1,\xFF,1,P,F,,,,1\n"
                                       << "graduates.csv, line 2, character 4: invalid UTF-8";
        QTest::newRow("same key, other case")
            << header + "abc,A,1,P,F,,,,1\nABC ,B,2,P,F,,,,2\n"
            << "graduates.csv, line 3, column 1 (GraduateID): \"ABC \" is already on line 2 (abc)";
        QTest::newRow("no key")
            << header + "G1,A,1,P,F,,,,1\n,B,2,P,F,,,,2\n"
            << "graduates.csv, line 3, column 1 (GraduateID): the primary key needs a value";
        QTest::newRow("duplicate header")
            << QByteArray("GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue,name\n")
            << "graduates.csv, line 1, column 10: duplicate header \"name\"";
    }
    void badInputEndsWithItsMessageAndNoFile() {
        QFETCH(QByteArray, graduates);
        QFETCH(QString, message);
        Folder folder;
        const CommandRun r = folder.make(graduates);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!folder.hasOutput());
        QCOMPARE(folder.files(),
                 QStringList({QStringLiteral("graduates.csv"), QStringLiteral("programmes.csv")}));
    }

    void badProgrammesFileIsNamed() {
        Folder folder;
        const CommandRun r =
            folder.makeWith(folder.write(QStringLiteral("g.csv"),
                                         "GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\n"),
                            folder.write(QStringLiteral("p.csv"), "Program_Code,Program_Desc\nA,B\n"));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(
                     QStringLiteral("p.csv, line 1: the required column \"Program_Faculty\" is missing")),
                 qPrintable(r.err));
        QVERIFY(!folder.hasOutput());
    }

    void existingOutputNeedsForce() {
        Folder folder;
        folder.write(QStringLiteral("Tassel.mdb"), "keep me");
        const QByteArray graduates =
            "GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\nG1,A,1,DIT,F,,,,1\n";
        CommandRun r = folder.make(graduates);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QStringLiteral("already exists; use --force")), qPrintable(r.err));
        QFile kept(folder.output());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        kept.close();
        r = folder.make(graduates, {QStringLiteral("--force")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(ReferenceReaders::mdbExport(folder.output(), QStringLiteral("Graduates")).rows.size(),
                 std::size_t(1));
    }

    void argumentProblems_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList() << "--graduates is required";
        QTest::newRow("no output") << QStringList({QStringLiteral("--graduates"), QStringLiteral("g"),
                                                   QStringLiteral("--programmes"), QStringLiteral("p")})
                                   << "--output is required";
        QTest::newRow("value missing")
            << QStringList({QStringLiteral("--graduates"), QStringLiteral("--force")})
            << "--graduates needs a file name";
        QTest::newRow("unknown") << QStringList({QStringLiteral("--colour")})
                                 << "unknown argument \"--colour\"";
        QTest::newRow("missing input")
            << QStringList({QStringLiteral("--graduates"), QStringLiteral("/nonexistent/g.csv"),
                            QStringLiteral("--programmes"), QStringLiteral("p"), QStringLiteral("--output"),
                            QDir::tempPath() + QStringLiteral("/convodesk-never.mdb")})
            << "/nonexistent/g.csv: cannot read the file";
    }
    void argumentProblems() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QString out, err;
        QTextStream o(&out), e(&err);
        QCOMPARE(MakeCommand::run(args, o, e), 2);
        QVERIFY2(err.contains(message), qPrintable(err));
    }

    // A disk that fills up while the new file is written, at every point from the first page
    // to the last: the reason is named, nothing reports success, the old file stays as it was.
    // Needs a small file system of its own (a tmpfs, mounted as root); skipped elsewhere.
    void fullDiskNamesTheReasonAndKeepsTheOldFile() {
        SmallDisk disk(QStringLiteral("size=256k"));
        if (!disk.available())
            QSKIP("cannot mount a small file system here (needs root)");
        Folder csv;
        const QString graduates = csv.write(
            QStringLiteral("g.csv"), readFile(sourceDir() + QStringLiteral("/resources/demo/graduates.csv")));
        const QString programmes =
            csv.write(QStringLiteral("p.csv"),
                      readFile(sourceDir() + QStringLiteral("/resources/demo/programmes.csv")));
        const QByteArray old(30000, 'o');
        for (const qint64 free : {0, 4096, 16384, 65536, 90112, 94108}) {
            QVERIFY(disk.mount());
            const QString target = disk.filePath(QStringLiteral("Tassel.mdb"));
            writeBytes(target, old);
            disk.fillLeaving(free);
            QString out, err;
            QTextStream o(&out), e(&err);
            const int code =
                MakeCommand::run({QStringLiteral("--graduates"), graduates, QStringLiteral("--programmes"),
                                  programmes, QStringLiteral("--output"), target, QStringLiteral("--force")},
                                 o, e);
            e.flush();
            const QByteArray after = readFile(target);
            const QStringList left =
                QDir(disk.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
            disk.unmount();
            QCOMPARE(code, 1);
            QVERIFY2(err.contains(QStringLiteral("No space left on device")), qPrintable(err));
            QVERIFY(after == old);
            QCOMPARE(QSet<QString>(left.begin(), left.end()),
                     QSet<QString>({QStringLiteral("Tassel.mdb"), QStringLiteral("filler")}));
        }
    }

    // The built program: dispatch, --version, --help.
    void executableAnswersVersionAndHelp() {
        const QString tool = qEnvironmentVariable("CONVODESK_BINARY_DIR") + QStringLiteral("/convodesk-db");
        auto r = ReferenceReaders::run(tool, {QStringLiteral("--version")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), QStringLiteral("1.00.0011"));
        r = ReferenceReaders::run(tool, {QStringLiteral("make"), QStringLiteral("--help")});
        QCOMPARE(r.exitCode, 0);
        for (const char* part :
             {"--graduates", "--programmes", "--output", "--force", "--graduate-table", "Queue",
              "unquoted empty field is Null", "\"\" is the empty text", "byte-order mark", "255"})
            QVERIFY2(r.out.contains(QLatin1String(part)), part);
        r = ReferenceReaders::run(tool, {QStringLiteral("--help")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QStringLiteral("make")));
        r = ReferenceReaders::run(tool, {QStringLiteral("frobnicate")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains(QStringLiteral("unknown command")));
    }
};

QTEST_GUILESS_MAIN(MakeCommandTest)
#include "tst_make_command.moc"
