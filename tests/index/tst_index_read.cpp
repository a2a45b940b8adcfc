// Every physical index of every Access-made file: the walk gives each live row of the table
// exactly once (rows left out by "ignore nulls" excepted) and nothing else, agrees entry for
// entry with an independent leaf reader, and seeking any stored key prefix gives the rows
// whose entries start with it, decoded as a scan decodes them.
#include "data/jet4/Error.h"
#include "data/jet4/IndexKey.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/SeekValue.h"
#include "sort/TextIndexLeaves.h"
#include "support/CorpusFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
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

// The bytes of `value`'s key in column `column` that a seek compares; empty when it has none.
QByteArray trustedKey(const jet4::ColumnDef& column, bool ascending, const Value& value) {
    jet4::IndexKey::Buffer key;
    if (!jet4::IndexKey::append(column, ascending, value, key))
        return {};
    const qsizetype size = jet4::IndexKey::trustedLength(column, ascending, key.constData(), key.size());
    return {reinterpret_cast<const char*>(key.constData()), size};
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
                checkValueSeeks(*db, table, index, scanned, where);
                ++indexes_;
                entries_ += static_cast<int>(entries.size());
            }
        }
    }

    // What a seek declines, leaving the table to a scan, and what it converts.
    void seekDeclines() {
        // The first corpus file with a user table indexed on a Long and one indexed on a Text.
        QByteArray bytes;
        QString file;
        std::shared_ptr<jet4::Database> db;
        const jet4::TableDef* longTable = nullptr;
        const jet4::TableDef* textTable = nullptr;
        int longColumn = -1;
        int textColumn = -1;
        for (const QString& candidate : corpusFiles()) {
            if (candidate.contains(QLatin1String("password")))
                continue;
            file = candidate;
            bytes = readAll(testing::corpusPath(file));
            db = jet4::Database::openBytes(bytes, file);
            longTable = textTable = nullptr;
            longColumn = textColumn = -1;
            for (const QString& name : db->tableNames()) {
                const jet4::TableDef* table = db->findTable(name);
                for (const jet4::RealIndexDef& index : table->realIndexes) {
                    const int c = index.columns[0].columnIndex;
                    const jet4::ColumnType type = table->columns[static_cast<std::size_t>(c)].type;
                    if (type == jet4::ColumnType::Long && longColumn < 0 && table->storedRowCount > 0)
                        longTable = table, longColumn = c;
                    if (type == jet4::ColumnType::Text && textColumn < 0 && table->storedRowCount > 0)
                        textTable = table, textColumn = c;
                }
            }
            if (longTable && textTable)
                break;
        }
        QVERIFY(longTable && textTable);

        // A whole number given as a Double is the Long it equals; 12.5, "12" and Null are not.
        auto rows = db->openCursor(*longTable);
        QVERIFY(rows->next());
        const Value stored = rows->value(longColumn);
        QVERIFY(!stored.isNull());
        auto found =
            db->openSeek(*longTable, longColumn, Value::real(static_cast<double>(stored.asInteger())));
        QVERIFY(found && found->next());
        QCOMPARE(found->value(longColumn), stored);
        QVERIFY(!db->openSeek(*longTable, longColumn, Value::real(12.5)));
        QVERIFY(!db->openSeek(*longTable, longColumn, Value::text(QStringLiteral("12"))));
        QVERIFY(!db->openSeek(*longTable, longColumn, Value::null()));
        QVERIFY(!db->openSeek(*longTable, -1, stored));
        for (int c = 0; c < static_cast<int>(longTable->columns.size()); ++c) {
            bool leads = false;
            for (const jet4::RealIndexDef& index : longTable->realIndexes)
                leads = leads || index.columns[0].columnIndex == c;
            if (!leads)
                QVERIFY(!db->openSeek(*longTable, c, Value::integer(1)));
        }

        // A text finds its row in any letter case; a column in another sort order is not sought.
        auto texts = db->openCursor(*textTable);
        Value text;
        while (texts->next() && text.isNull())
            text = texts->value(textColumn);
        QVERIFY(!text.isNull());
        found = db->openSeek(*textTable, textColumn, Value::text(text.asText().toUpper()));
        QVERIFY(found);
        bool hit = false;
        while (found->next())
            hit = hit || found->value(textColumn) == text;
        QVERIFY(hit);

        const jet4::ColumnDef& column = textTable->columns[static_cast<std::size_t>(textColumn)];
        const qsizetype descriptors =
            qsizetype(textTable->tdefPage) * jet4::format::kPageSize + jet4::format::kTdefHeaderSize +
            qsizetype(textTable->realIndexes.size()) * jet4::format::kTdefRealIndexEntrySize;
        for (std::size_t d = 0; d < textTable->columns.size(); ++d) {
            const qsizetype at = descriptors + qsizetype(d) * jet4::format::kColumnDescriptorSize;
            if (static_cast<std::uint8_t>(bytes[at + jet4::format::kColumnNumberOffset]) == column.number)
                bytes[at + jet4::format::kColumnSortOrderOffset] = '\x0C'; // French, 0x040C
        }
        const auto french = jet4::Database::openBytes(bytes, file);
        const jet4::TableDef* frenchTable = french->findTable(textTable->name);
        QCOMPARE(frenchTable->columns[static_cast<std::size_t>(textColumn)].sortOrder.lcid, 0x040C);
        QVERIFY(!french->openSeek(*frenchTable, textColumn, text));
    }

    void cleanupTestCase() {
        qInfo("%d indexes, %d entries, %d seeks by key, %d by value (%d declined)", indexes_, entries_,
              seeks_, valueSeeks_, valueSeeksDeclined_);
        QVERIFY(valueSeeks_ > 1000);
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

    // openSeek with each row's value of the index's first column finds that row, and exactly the
    // rows whose key starts with the same trusted bytes.
    void checkValueSeeks(const jet4::Database& db, const jet4::TableDef& table,
                         const jet4::RealIndexDef& index, const ScannedTable& scanned, const QString& where) {
        const int c = index.columns[0].columnIndex;
        const jet4::ColumnDef& column = table.columns[static_cast<std::size_t>(c)];
        const bool ascending = index.columns[0].ascending;
        for (auto it = scanned.rows.cbegin(); it != scanned.rows.cend(); ++it) {
            const Value& value = it.value()[static_cast<std::size_t>(c)];
            auto cursor = db.openSeek(table, c, value);
            if (!cursor) {
                const bool answerable = jet4::seekValue(column, value) && jet4::IndexKey::canKey(column);
                QVERIFY2(!answerable, qPrintable(where + QStringLiteral(": a seek declined")));
                ++valueSeeksDeclined_;
                continue;
            }
            const QByteArray sought = trustedKey(column, ascending, value);
            QSet<std::uint32_t> found;
            while (cursor->next())
                found.insert(cursor->rowPointer());
            QSet<std::uint32_t> expected;
            for (auto row = scanned.rows.cbegin(); row != scanned.rows.cend(); ++row) {
                const QByteArray key =
                    trustedKey(column, ascending, row.value()[static_cast<std::size_t>(c)]);
                if (key.startsWith(sought) && (key.size() == sought.size() || !column.fixed))
                    expected.insert(row.key());
            }
            QVERIFY2(found.contains(it.key()), qPrintable(where + QStringLiteral(": a seek missed its row")));
            QVERIFY2(found == expected, qPrintable(where + QStringLiteral(": a seek found other rows")));
            ++valueSeeks_;
        }
    }

    int valueSeeks_ = 0;
    int valueSeeksDeclined_ = 0;
    int indexes_ = 0;
    int entries_ = 0;
    int seeks_ = 0;
};

QTEST_GUILESS_MAIN(IndexReadTest)
#include "tst_index_read.moc"
