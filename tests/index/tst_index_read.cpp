// Every physical index of every Access-made file: the walk gives each live row of the table
// exactly once (rows left out by "ignore nulls" excepted) and nothing else, agrees entry for
// entry with an independent leaf reader, and seeking any stored key prefix gives the rows
// whose entries start with it, decoded as a scan decodes them.
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/read/Database.h"
#include "sort/TextIndexLeaves.h"
#include "support/CorpusFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTest>

using namespace convodesk;
using jet4::Error;
using jet4::Value;

namespace {

struct Entry {
    QByteArray key;
    std::uint32_t pointer = 0;
};

struct ScannedTable {
    QHash<std::uint32_t, std::vector<Value>> rows; // by row pointer
};

QStringList corpusFiles() {
    QStringList files;
    for (const QString& folder : {QStringLiteral("jackcess"), QStringLiteral("mdb-reader")}) {
        const QDir dir(testing::corpusPath(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name))
            files << folder + QLatin1Char('/') + name;
    }
    return files;
}

QStringList tablesOf(const jet4::Database& db) {
    QStringList names = db.tableNames();
    for (const char* system : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"})
        if (db.findTable(QString::fromLatin1(system)))
            names << QString::fromLatin1(system);
    return names;
}

ScannedTable scan(const jet4::Database& db, const jet4::TableDef& table) {
    ScannedTable scanned;
    auto cursor = db.openCursor(table);
    while (cursor->next()) {
        std::vector<Value>& values = scanned.rows[cursor->rowPointer()];
        values.reserve(table.columns.size());
        for (int i = 0; i < static_cast<int>(table.columns.size()); ++i)
            values.push_back(cursor->value(i));
    }
    return scanned;
}

std::vector<Entry> walk(const jet4::Database& db, const jet4::TableDef& table, int index) {
    std::vector<Entry> entries;
    auto walker = db.walkIndex(table, index);
    while (walker->next())
        entries.push_back({QByteArray(reinterpret_cast<const char*>(walker->key()), walker->keySize()),
                           jet4::format::rowPointer(walker->dataPage(), walker->rowSlot())});
    return entries;
}

// The bytes of a key that its first column takes where they can be told from the key alone
// (a Null's flag byte, a fixed-size number, the inline part of a text); the whole key otherwise.
QByteArray firstColumnPrefix(const jet4::ColumnDef& column, bool ascending, const QByteArray& key) {
    const auto flag = static_cast<std::uint8_t>(key[0]);
    if (flag == (ascending ? 0x00 : 0xFF))
        return key.left(1);
    if (const int size = jet4::fixedSizeOf(column.type); size > 0)
        return key.left(1 + size);
    if (column.type == jet4::ColumnType::Text || column.type == jet4::ColumnType::Memo) {
        const qsizetype end = key.indexOf(ascending ? '\x01' : '\xFE', 1);
        if (end > 0)
            return key.left(end + 1);
    }
    return key;
}

std::vector<std::uint32_t> seekRows(const jet4::Database& db, const jet4::TableDef& table, int index,
                                    const QByteArray& prefix, const ScannedTable& scanned) {
    std::vector<std::uint32_t> rows;
    auto cursor = db.openIndexRange(table, index, prefix);
    if (!cursor) {
        rows.push_back(0xFFFFFFFF); // no answer: differs from every expected list
        return rows;
    }
    while (cursor->next()) {
        rows.push_back(cursor->rowPointer());
        const std::vector<Value>& expected = scanned.rows.value(cursor->rowPointer());
        for (int i = 0; i < static_cast<int>(expected.size()); ++i)
            if (!(cursor->value(i) == expected[static_cast<std::size_t>(i)]))
                rows.push_back(0); // decoded differently from the scan
    }
    return rows;
}

bool allNull(const std::vector<Value>& row, const jet4::RealIndexDef& index) {
    for (const jet4::IndexColumnDef& column : index.columns)
        if (!row[static_cast<std::size_t>(column.columnIndex)].isNull())
            return false;
    return true;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class IndexReadTest : public QObject {
    Q_OBJECT

private slots:
    void everyIndexOfTheCorpus_data() {
        QTest::addColumn<QString>("file");
        const QStringList files = corpusFiles();
        QVERIFY(files.size() > 30);
        for (const QString& file : files)
            QTest::newRow(qPrintable(file)) << file;
    }

    void everyIndexOfTheCorpus() {
        QFETCH(QString, file);
        std::shared_ptr<jet4::Database> db;
        try {
            db = jet4::Database::open(testing::corpusPath(file));
        } catch (const Error& e) {
            if (e.kind() == Error::Kind::Encrypted)
                QSKIP("encrypted");
            throw;
        }
        const QByteArray bytes = readAll(testing::corpusPath(file));
        for (const QString& name : tablesOf(*db)) {
            const jet4::TableDef& table = *db->findTable(name);
            for (const jet4::LogicalIndexDef& logical : table.logicalIndexes)
                QVERIFY(!logical.name.isEmpty());
            const ScannedTable scanned = scan(*db, table);
            QString leafError;
            const std::vector<testing::PhysicalIndex> leaves =
                testing::readTextIndexLeaves(bytes, table.tdefPage, leafError);
            QVERIFY2(leafError.isEmpty(), qPrintable(leafError));
            QCOMPARE(leaves.size(), table.realIndexes.size());
            for (int i = 0; i < static_cast<int>(table.realIndexes.size()); ++i) {
                const jet4::RealIndexDef& index = table.realIndexes[static_cast<std::size_t>(i)];
                const QString where = QStringLiteral("%1 / %2 / index %3").arg(file, name).arg(i);
                const std::vector<Entry> entries = walk(*db, table, i);
                checkAgainstLeaves(entries, leaves[static_cast<std::size_t>(i)], index, table, where);
                checkAgainstRows(entries, scanned, index, where);
                checkSeeks(*db, table, i, entries, scanned, where);
                ++indexes_;
                entries_ += static_cast<int>(entries.size());
            }
        }
    }

    void cleanupTestCase() {
        qInfo("%d indexes, %d entries, %d seeks", indexes_, entries_, seeks_);
        QVERIFY(indexes_ > 150);
        QVERIFY(entries_ > 2000);
    }

private:
    static void checkAgainstLeaves(const std::vector<Entry>& entries, const testing::PhysicalIndex& leaves,
                                   const jet4::RealIndexDef& index, const jet4::TableDef& table,
                                   const QString& where) {
        QCOMPARE(leaves.columns.size(), index.columns.size());
        for (std::size_t c = 0; c < index.columns.size(); ++c) {
            const jet4::ColumnDef& column =
                table.columns[static_cast<std::size_t>(index.columns[c].columnIndex)];
            QCOMPARE(column.number, leaves.columns[c].number);
            QCOMPARE(index.columns[c].ascending, leaves.columns[c].ascending);
        }
        QCOMPARE(index.ignoreNulls(), leaves.ignoresNulls);
        QVERIFY2(entries.size() == leaves.entries.size(), qPrintable(where));
        for (std::size_t e = 0; e < entries.size(); ++e) {
            QVERIFY2(entries[e].key == leaves.entries[e].key, qPrintable(where));
            QCOMPARE(entries[e].pointer,
                     jet4::format::rowPointer(leaves.entries[e].page, leaves.entries[e].slot));
        }
    }

    static void checkAgainstRows(const std::vector<Entry>& entries, const ScannedTable& scanned,
                                 const jet4::RealIndexDef& index, const QString& where) {
        QHash<std::uint32_t, int> times;
        for (const Entry& entry : entries) {
            QVERIFY2(scanned.rows.contains(entry.pointer),
                     qPrintable(where + QStringLiteral(": an entry names no live row")));
            ++times[entry.pointer];
        }
        for (auto it = scanned.rows.cbegin(); it != scanned.rows.cend(); ++it) {
            const int expected = index.ignoreNulls() && allNull(it.value(), index) ? 0 : 1;
            QVERIFY2(times.value(it.key()) == expected,
                     qPrintable(where + QStringLiteral(": row %1 is in the index %2 times")
                                            .arg(it.key(), 0, 16)
                                            .arg(times.value(it.key()))));
        }
    }

    void checkSeeks(const jet4::Database& db, const jet4::TableDef& table, int i,
                    const std::vector<Entry>& entries, const ScannedTable& scanned, const QString& where) {
        const jet4::RealIndexDef& index = table.realIndexes[static_cast<std::size_t>(i)];
        const jet4::ColumnDef& first = table.columns[static_cast<std::size_t>(index.columns[0].columnIndex)];
        std::vector<std::uint32_t> all;
        all.reserve(entries.size());
        for (const Entry& entry : entries)
            all.push_back(entry.pointer);
        QVERIFY2(seekRows(db, table, i, QByteArray(), scanned) == all, qPrintable(where));
        QVERIFY2(seekRows(db, table, i, QByteArray(8, '\xFF'), scanned).empty(), qPrintable(where));
        QByteArray previous;
        for (std::size_t e = 0; e < entries.size(); ++e) {
            for (const QByteArray& prefix :
                 {firstColumnPrefix(first, index.columns[0].ascending, entries[e].key), entries[e].key}) {
                if (prefix == previous)
                    continue;
                std::vector<std::uint32_t> expected;
                for (const Entry& entry : entries)
                    if (entry.key.startsWith(prefix))
                        expected.push_back(entry.pointer);
                QVERIFY2(
                    seekRows(db, table, i, prefix, scanned) == expected,
                    qPrintable(where + QStringLiteral(": seek ") + QString::fromLatin1(prefix.toHex(' '))));
                ++seeks_;
                previous = prefix;
            }
        }
    }

    int indexes_ = 0;
    int entries_ = 0;
    int seeks_ = 0;
};

QTEST_GUILESS_MAIN(IndexReadTest)
#include "tst_index_read.moc"
