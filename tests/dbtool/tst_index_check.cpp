// check compares every index with its table: files from make and from Access check clean; a
// made file whose index lost an entry, holds a wrong key or misses a changed row is damaged,
// and install refuses it.
#include "convodesk-db/CheckCommand.h"
#include "convodesk-db/IndexCheck.h"
#include "convodesk-db/MakeCommand.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/IndexWalker.h"
#include "support/CommandRun.h"
#include "support/CorpusFiles.h"
#include "support/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace convodesk;
using namespace convodesk::dbtool;
using namespace convodesk::testing;

namespace {

constexpr int kPage = 4096;

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// A desk file from make: three graduates (one leaf) and two programmes.
QString madeFile(const QDir& dir) {
    const QString graduates =
        writeFile(dir.filePath(QStringLiteral("g.csv")),
                  "GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\n"
                  "G1,Ann,1,DIT,FC,,,,1\nG2,Ben,2,DIT,FC,,,,2\nG3,Chan,3,DBA,FB,,,,3\n");
    const QString programmes = writeFile(dir.filePath(QStringLiteral("p.csv")),
                                         "Program_Code,Program_Desc,Program_Faculty\nDIT,IT,FC\nDBA,BA,FB\n");
    const QString output = dir.filePath(QStringLiteral("made.mdb"));
    const CommandRun r =
        runCommand<MakeCommand>({QStringLiteral("--graduates"), graduates, QStringLiteral("--programmes"),
                                 programmes, QStringLiteral("--output"), output});
    return r.exitCode == 0 ? output : QString();
}

// The full last entry (key + row pointer) of the Graduates primary key.
QByteArray lastEntry(const QString& file) {
    const auto db = jet4::Database::open(file);
    const jet4::TableDef& table = *db->findTable(QStringLiteral("Graduates"));
    QByteArray last;
    for (auto walker = db->walkIndex(table, 0); walker->next();)
        last = QByteArray(reinterpret_cast<const char*>(walker->key()), walker->keySize() + 4);
    return last;
}

CommandRun check(const QString& file) {
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.exitCode = CheckCommand::checkFile(file, out, err, QStringLiteral("check"));
    return r;
}

} // namespace

class IndexCheckTest : public QObject {
    Q_OBJECT

private slots:
    void accessFilesCheckClean() {
        const QDir folder(corpusPath(QStringLiteral("jackcess")));
        int checked = 0;
        for (const QString& name : folder.entryList({QStringLiteral("*.mdb")}, QDir::Files)) {
            const auto db = jet4::Database::open(folder.filePath(name));
            for (const QString& tableName : db->tableNames()) {
                const jet4::TableDef& table = *db->findTable(tableName);
                const IndexCheck::Result result = IndexCheck::checkTable(*db, table);
                QVERIFY2(result.damage.isEmpty(),
                         qPrintable(name + QStringLiteral(": ") + result.damage.join(u'\n')));
                checked +=
                    static_cast<int>(table.realIndexes.size()) - static_cast<int>(result.unchecked.size());
            }
        }
        QVERIFY2(checked > 90, qPrintable(QString::number(checked)));
    }

    void madeFileChecksClean() {
        QTemporaryDir dir;
        const QString file = madeFile(QDir(dir.path()));
        QVERIFY(!file.isEmpty());
        const CommandRun r = check(file);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(!r.out.contains(QStringLiteral("index")), qPrintable(r.out));
    }

    void damagedIndexFailsTheCheck_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("key changed") << QStringLiteral("key")
                                     << QStringLiteral("the entry of row 3 does not hold the row's key");
        QTest::newRow("entry dropped") << QStringLiteral("drop") << QStringLiteral("row 3 has no entry");
        QTest::newRow("row changed behind the index")
            << QStringLiteral("row") << QStringLiteral("the entry of row 3 does not hold the row's key");
    }
    void damagedIndexFailsTheCheck() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString file = madeFile(QDir(dir.path()));
        QVERIFY(!file.isEmpty());
        QByteArray bytes = bytesOf(file);
        const QByteArray last = lastEntry(file); // G3's: 7F 55 3A 01 00 + row pointer
        const qsizetype at = bytes.indexOf(last.right(last.size() - 2));
        QVERIFY(at > 0 && bytes.indexOf(last.right(last.size() - 2), at + 1) < 0);
        if (damage == QStringLiteral("key")) {
            bytes[at] = static_cast<char>(bytes[at] + 2); // "G4": still the largest key
        } else if (damage == QStringLiteral("drop")) {
            // Unmark the page's last entry and give its bytes back as free space.
            const qsizetype page = at / kPage * kPage;
            const qsizetype end = at + last.size() - 2 - (page + 0x1E0);
            const qsizetype bit = page + 27 + end / 8;
            bytes[bit] = static_cast<char>(bytes[bit] & ~(1 << (end % 8)));
            qsizetype previousEnd = end - 1;
            while (
                !(static_cast<std::uint8_t>(bytes[page + 27 + previousEnd / 8]) & (1 << (previousEnd % 8))))
                --previousEnd;
            const int space = kPage - 0x1E0 - static_cast<int>(previousEnd);
            bytes[page + 2] = static_cast<char>(space & 0xFF);
            bytes[page + 3] = static_cast<char>(space >> 8);
        } else {
            // The row's own text "G3" (UTF-16) becomes "G5".
            const qsizetype row = bytes.indexOf(QByteArray("G\0"
                                                           "3\0",
                                                           4));
            QVERIFY(row > 0);
            bytes[row + 2] = '5';
        }
        writeFile(file, bytes);
        const CommandRun r = check(file);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(
            r.out.contains(QStringLiteral("FAIL  Graduates: Graduates, index \"PrimaryKey\" is damaged: ") +
                           message),
            qPrintable(r.out));
    }

    void installRefusesAFileWithADamagedIndex() {
        InstallLayout layout;
        const QString file = madeFile(QDir(layout.root()));
        QVERIFY(!file.isEmpty());
        QByteArray data = bytesOf(file);
        const QByteArray last = lastEntry(file);
        const qsizetype at = data.indexOf(last.right(last.size() - 2));
        QVERIFY(at > 0);
        data[at] = static_cast<char>(data[at] + 2);
        writeFile(file, data);
        const QByteArray before = bytes(layout.dataFile());
        const CommandRun r = install({file, QStringLiteral("--folder"), layout.programFolder()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains(QStringLiteral("index \"PrimaryKey\" is damaged")),
                 qPrintable(r.out + r.err));
        QCOMPARE(bytes(layout.dataFile()), before);
    }

    // A text column in another sort order: its index is left unchecked, which is no damage.
    void otherSortOrderIsNotChecked() {
        QTemporaryDir dir;
        const QString file = madeFile(QDir(dir.path()));
        QVERIFY(!file.isEmpty());
        QByteArray data = bytesOf(file);
        const auto db = jet4::Database::open(file);
        const std::uint32_t tdef = db->findTable(QStringLiteral("Programme"))->tdefPage;
        // Program_Code is the first descriptor, after the one index's 12 bytes.
        const qsizetype lcid = qsizetype(tdef) * kPage + 63 + 12 + 11;
        QCOMPARE(static_cast<std::uint8_t>(data[lcid]), std::uint8_t(0x09));
        data[lcid] = 0x0C;
        writeFile(file, data);
        const CommandRun r = check(file);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QStringLiteral(
                     "Programme, index \"PrimaryKey\": not checked (column \"Program_Code\" is sorted in")),
                 qPrintable(r.out));
    }

private:
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(IndexCheckTest)
#include "tst_index_check.moc"
