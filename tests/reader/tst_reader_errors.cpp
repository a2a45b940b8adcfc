// Files we refuse, and damaged copies of real files: each gets its own clear error naming the
// file (and the object), never a crash or a wrong result.
#include "ReaderValueText.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using jet4::Error;
namespace format = jet4::format;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Reads every table and query; returns the error, or nothing if all could be read.
std::optional<Error> readEverything(const QString& path) {
    try {
        const auto db = jet4::Database::open(path);
        for (const QString& name : db->tableNames())
            testing::readAllRows(*db, *db->findTable(name));
        for (const QString& name : db->queryNames())
            db->findQuery(name);
    } catch (const Error& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace

class ReaderErrorsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        good_ = readAll(testing::corpusCopy(QStringLiteral("jackcess/testV2003.mdb"), dir_.path()));
        QVERIFY(good_.size() > 16 * format::kPageSize);
    }

    void refusedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("words");
        QByteArray b;
        QTest::newRow("too small") << QByteArray(100, '\0') << int(Error::Kind::NotDatabase) << "too small";
        QTest::newRow("text file") << QByteArray(5 * format::kPageSize, 'x') << int(Error::Kind::NotDatabase)
                                   << "not an Access database";
        b = good_;
        b[format::kHeaderVersionOffset] = 0;
        QTest::newRow("Jet 3") << b << int(Error::Kind::Jet3) << "Access 97";
        b = good_;
        b.replace(format::kHeaderMagicOffset, 15, "Standard ACE DB");
        b[format::kHeaderVersionOffset] = 2;
        QTest::newRow("accdb") << b << int(Error::Kind::Accdb) << ".accdb";
        b = good_;
        b[format::kHeaderVersionOffset] = 3;
        QTest::newRow("later version") << b << int(Error::Kind::Accdb) << "2007 or later";
        b = good_;
        b[format::kHeaderDatabaseKeyOffset] = char(b[format::kHeaderDatabaseKeyOffset] ^ 0x5A);
        QTest::newRow("encrypted") << b << int(Error::Kind::Encrypted) << "encrypted";
        QTest::newRow("password") << readAll(testing::corpusCopy(
                                         QStringLiteral("mdb-reader/password_V2003_with-password.mdb"),
                                         dir_.path()))
                                  << int(Error::Kind::Encrypted) << "password";
        b = good_;
        b[2 * format::kPageSize] = 0x01; // the catalog's definition page is no longer one
        QTest::newRow("catalog page") << b << int(Error::Kind::Damaged) << "MSysObjects";
        QTest::newRow("truncated") << good_.left(4 * format::kPageSize) << int(Error::Kind::Damaged)
                                   << "beyond the end";
    }

    void refusedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QString, words);
        const QString path = dir_.filePath(QStringLiteral("refused.mdb"));
        writeAll(path, bytes);
        const auto error = readEverything(path);
        QVERIFY(error);
        QCOMPARE(int(error->kind()), kind);
        QVERIFY2(error->message().contains(words), qPrintable(error->message()));
        QVERIFY2(error->message().contains(QLatin1String("refused.mdb")), qPrintable(error->message()));
        QVERIFY(!messages_.contains(error->message()));
        messages_.insert(error->message());
        // The same from bytes in memory.
        try {
            jet4::Database::openBytes(bytes, QStringLiteral("refused.mdb"));
        } catch (const Error& e) {
            QCOMPARE(int(e.kind()), kind);
            if (kind != int(Error::Kind::Damaged))
                QCOMPARE(e.message().section(QLatin1Char(' '), 1),
                         error->message().section(QLatin1Char(' '), 1));
        }
    }

    void missingFile() {
        try {
            jet4::Database::open(dir_.filePath(QStringLiteral("absent.mdb")));
            QFAIL("opened a missing file");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), Error::Kind::Io);
            QVERIFY(e.message().contains(QLatin1String("absent.mdb")));
        }
    }

    // Breaks one structure of a user table: the error names the table; other tables still read.
    void damagedTable_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("words");
        QTest::newRow("usage map pointer")
            << format::kTdefUsedPagesMapOffset << QByteArray("\x01\xFF\xFF\x00", 4) << "beyond the end";
        QTest::newRow("definition loops") << format::kTdefNextPageOffset << QByteArray() << "loop";
        QTest::newRow("column count")
            << format::kTdefColumnCountOffset << QByteArray("\xFF\x7F", 2) << "columns";
    }

    void damagedTable() {
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        QFETCH(QString, words);
        const auto db = jet4::Database::openBytes(good_, QStringLiteral("good.mdb"));
        const QString tableName = db->tableNames().first();
        const std::uint32_t tdef = db->findTable(tableName)->tdefPage;
        if (patch.isEmpty()) { // the definition's next page points back at itself
            patch.resize(4);
            format::putU32(patch, 0, tdef);
        }
        QByteArray bytes = good_;
        bytes.replace(int(tdef) * format::kPageSize + offset, patch.size(), patch);
        const QString path = dir_.filePath(QStringLiteral("damaged.mdb"));
        writeAll(path, bytes);
        const auto error = readEverything(path);
        QVERIFY(error);
        QCOMPARE(error->kind(), Error::Kind::Damaged);
        QVERIFY2(error->message().contains(words) && error->message().contains(tableName) &&
                     error->message().contains(QLatin1String("damaged.mdb")),
                 qPrintable(error->message()));
        const auto reopened = jet4::Database::open(path);
        for (const QString& other : reopened->tableNames()) {
            if (other != tableName)
                testing::readAllRows(*reopened, *reopened->findTable(other));
        }
    }

    // Scribbling over every data page byte by byte never crashes; errors are Damaged.
    void scribbledPagesGiveDamagedOrData() {
        for (int page = 3; page < good_.size() / format::kPageSize; ++page) {
            for (int at : {0, 12, 14, 15, 200, 4000}) {
                QByteArray bytes = good_;
                bytes[page * format::kPageSize + at] = char(bytes[page * format::kPageSize + at] ^ 0xA5);
                try {
                    const auto db = jet4::Database::openBytes(bytes, QStringLiteral("scribbled.mdb"));
                    for (const QString& name : db->tableNames())
                        testing::readAllRows(*db, *db->findTable(name));
                } catch (const Error& e) {
                    QCOMPARE(e.kind(), Error::Kind::Damaged);
                }
            }
        }
    }

    void linkedTablesAndNames() {
        const auto db = jet4::Database::openBytes(good_, QStringLiteral("good.mdb"));
        const QString name = db->tableNames().first();
        QCOMPARE(db->findTable(name.toUpper()), db->findTable(name.toLower()));
        QVERIFY(db->findTable(u"msysobjects")); // system tables are reachable by name
        QVERIFY(!db->tableNames().contains(QStringLiteral("MSysObjects")));
        QVERIFY(!db->findTable(u"No such table"));
        for (const QString& linked : db->linkedTableNames()) {
            try {
                db->findTable(linked);
                QFAIL("a linked table was opened");
            } catch (const Error& e) {
                QCOMPARE(e.kind(), Error::Kind::Unsupported);
                QVERIFY(e.message().contains(QLatin1String("linked table not supported")));
            }
        }
    }

private:
    QTemporaryDir dir_;
    QByteArray good_;
    QSet<QString> messages_;
};

QTEST_GUILESS_MAIN(ReaderErrorsTest)
#include "tst_reader_errors.moc"
