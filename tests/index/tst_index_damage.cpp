// Damaged index definitions and index pages in copies of a real file: the definition's damage
// stops the table with a clear error; a damaged index page stops a walk of that index with a
// Damaged error, while a seek gives up (nullptr, the caller scans) and the table still reads.
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/IndexPage.h"
#include "data/jet4/read/PageReader.h"
#include "support/CorpusFiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace convodesk;
using jet4::Error;
namespace format = jet4::format;

namespace {

const QString kFile = QStringLiteral("jackcess/compIndexTestV2000.mdb");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    return jet4::readU32(reinterpret_cast<const std::uint8_t*>(b.constData() + at));
}

std::uint32_t bigEndian(const QByteArray& b, qsizetype at) {
    return jet4::readBigEndian(reinterpret_cast<const std::uint8_t*>(b.constData() + at), 4);
}

void putBigEndian(QByteArray& b, qsizetype at, std::uint32_t v, int size) {
    for (int i = size - 1; i >= 0; --i, v >>= 8)
        b[at + i] = static_cast<char>(v & 0xFF);
}

// Where the entry ending at the `n`th set bit of an index page's mask ends.
qsizetype entryEnd(const QByteArray& file, std::uint32_t page, int n) {
    const qsizetype base = qsizetype(page) * format::kPageSize;
    for (int k = 0; k < 8 * format::kIndexMaskSize; ++k) {
        if ((static_cast<std::uint8_t>(file[base + format::kIndexMaskOffset + k / 8]) >> (k % 8)) & 1) {
            if (n-- == 0)
                return base + format::kIndexEntriesOffset + k;
        }
    }
    return -1;
}

// An index of the file whose root is an intermediate page: the table, the index and its root.
struct Target {
    QString table;
    int index = -1;
    std::uint32_t root = 0;
    std::uint32_t firstLeaf = 0;
};

Target findTwoLevelIndex(const QByteArray& file) {
    const auto db = jet4::Database::openBytes(file, QStringLiteral("original"));
    for (const QString& name : db->tableNames()) {
        const jet4::TableDef& table = *db->findTable(name);
        for (int i = 0; i < static_cast<int>(table.realIndexes.size()); ++i) {
            const std::uint32_t root = table.realIndexes[static_cast<std::size_t>(i)].rootPage;
            if (file[qsizetype(root) * format::kPageSize] == char(format::PageIndexNode)) {
                const qsizetype end = entryEnd(file, root, 0);
                return {name, i, root, bigEndian(file, end - 4)};
            }
        }
    }
    return {};
}

// The offset in the file of the table's first physical index block (single-page definition).
qsizetype indexBlocks(const QByteArray& file, const jet4::TableDef& table) {
    const qsizetype base = qsizetype(table.tdefPage) * format::kPageSize;
    qsizetype at = base + format::kTdefHeaderSize +
                   qsizetype(table.realIndexes.size()) * format::kTdefRealIndexEntrySize +
                   qsizetype(table.columns.size()) * format::kColumnDescriptorSize;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        at += 2 + (static_cast<std::uint8_t>(file[at]) | (static_cast<std::uint8_t>(file[at + 1]) << 8));
    return at;
}

} // namespace

class IndexDamageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        VERIFY_CORPUS(kFile);
        original_ = readAll(testing::corpusPath(kFile));
        target_ = findTwoLevelIndex(original_);
        QVERIFY(target_.index >= 0);
        QVERIFY(target_.firstLeaf > 0);
    }

    void damagedPages_data() {
        QTest::addColumn<int>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("child pointer back to its own page") << 0 << "loop";
        QTest::newRow("mask marks an entry past the page") << 1 << "past its end";
        QTest::newRow("prefix longer than the first entry") << 2 << "prefix";
        QTest::newRow("leaf chain back to itself") << 3 << "loop";
        QTest::newRow("page of another table") << 4 << "another table";
        QTest::newRow("child pointer outside the file") << 5 << "beyond the end";
        QTest::newRow("leaf's entries out of order") << 6 << "out of order";
        QTest::newRow("not an index page") << 7 << "not an index page";
    }

    void damagedPages() {
        QFETCH(int, damage);
        QFETCH(QString, message);
        QByteArray file = original_;
        const qsizetype leaf = qsizetype(target_.firstLeaf) * format::kPageSize;
        switch (damage) {
        case 0:
            putBigEndian(file, entryEnd(file, target_.root, 0) - 4, target_.root, 4);
            break;
        case 1:
            file[leaf + format::kIndexMaskOffset + format::kIndexMaskSize - 1] = '\xFF';
            break;
        case 2:
            file[leaf + format::kIndexPrefixLengthOffset] = '\xFF';
            file[leaf + format::kIndexPrefixLengthOffset + 1] = '\x0F';
            break;
        case 3:
            QVERIFY(le32(file, leaf + format::kIndexNextPageOffset) != 0);
            jet4::format::putU32(file, static_cast<int>(leaf + format::kIndexNextPageOffset),
                                 target_.firstLeaf);
            break;
        case 4:
            jet4::format::putU32(file, static_cast<int>(leaf + format::kIndexOwnerOffset), 0x123456);
            break;
        case 5:
            putBigEndian(file, entryEnd(file, target_.root, 0) - 4, 0x00FFFFF0, 4);
            break;
        case 6: {
            // The first entry's first byte after the shared prefix raised above the second's.
            const int prefix = static_cast<int>(le32(file, leaf + format::kIndexPrefixLengthOffset) & 0xFFFF);
            file[leaf + format::kIndexEntriesOffset + prefix] = '\xFE';
            break;
        }
        case 7:
            file[leaf] = char(format::PageData);
            break;
        }
        const auto db = jet4::Database::openBytes(file, QStringLiteral("damaged.mdb"));
        const jet4::TableDef& table = *db->findTable(target_.table);
        try {
            auto walker = db->walkIndex(table, target_.index);
            while (walker->next()) {
            }
            QFAIL("the damaged index was walked without an error");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), Error::Kind::Damaged);
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            QVERIFY2(e.message().contains(target_.table), qPrintable(e.message()));
        }
        QVERIFY(!db->openIndexRange(table, target_.index, QByteArray()));
        auto cursor = db->openCursor(table);
        while (cursor->next()) {
        }
        QVERIFY(cursor->rowsRead() > 0);
    }

    // An entry naming a row that is not there: the walk itself is sound, but a seek through it
    // would miss rows or invent them, so it declines and leaves the table to a scan.
    void entryNamingNoRow() {
        QByteArray file = original_;
        putBigEndian(file, entryEnd(file, target_.firstLeaf, 0) - 4, 0x000001, 3);
        const auto db = jet4::Database::openBytes(file, QStringLiteral("stale.mdb"));
        const jet4::TableDef& table = *db->findTable(target_.table);
        auto walker = db->walkIndex(table, target_.index);
        QVERIFY(walker->next());
        QCOMPARE(walker->dataPage(), 1u);
        QVERIFY(!db->openIndexRange(table, target_.index, QByteArray()));
    }

    void damagedDefinitions_data() {
        QTest::addColumn<int>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("root page outside the file") << 0 << "beyond the end of the file";
        QTest::newRow("column number naming no column") << 1 << "does not have";
        QTest::newRow("logical index naming a missing physical one") << 2 << "physical index";
        QTest::newRow("index counts running past the definition") << 3 << "past the definition";
    }

    void damagedDefinitions() {
        QFETCH(int, damage);
        QFETCH(QString, message);
        QByteArray file = original_;
        const auto db = jet4::Database::openBytes(original_, QStringLiteral("original"));
        const jet4::TableDef& table = *db->findTable(target_.table);
        const qsizetype tdef = qsizetype(table.tdefPage) * format::kPageSize;
        QCOMPARE(le32(file, tdef + format::kTdefNextPageOffset), 0u);
        const qsizetype blocks = indexBlocks(file, table);
        QCOMPARE(le32(file, blocks), 1923u); // what Access writes first in each block
        const qsizetype logical = blocks + qsizetype(table.realIndexes.size()) * format::kRealIndexBlockSize;
        switch (damage) {
        case 0:
            format::putU32(file, static_cast<int>(blocks + format::kRealIndexRootPageOffset), 0x00FFFFF0);
            break;
        case 1:
            format::putU16(file, static_cast<int>(blocks + format::kRealIndexColumnsOffset), 200);
            break;
        case 2:
            format::putU32(file, static_cast<int>(logical + format::kLogicalIndexRealIndexOffset), 77);
            break;
        case 3:
            format::putU32(file, static_cast<int>(tdef + format::kTdefIndexCountOffset), 900);
            break;
        }
        const auto damaged = jet4::Database::openBytes(file, QStringLiteral("damaged.mdb"));
        try {
            damaged->findTable(target_.table);
            QFAIL("the damaged definition was read without an error");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), Error::Kind::Damaged);
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
    }

    // Random bytes scribbled over index pages: every walk and seek ends in entries or a Damaged
    // error, never a crash, a hang or another kind of failure.
    void scribbledIndexPages() {
        std::vector<std::uint32_t> indexPages;
        for (std::uint32_t page = 1; page < original_.size() / format::kPageSize; ++page) {
            const char type = original_[qsizetype(page) * format::kPageSize];
            if (type == char(format::PageIndexLeaf) || type == char(format::PageIndexNode))
                indexPages.push_back(page);
        }
        QVERIFY(indexPages.size() > 5);
        QRandomGenerator random(20261209);
        int damaged = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray file = original_;
            const std::uint32_t page = indexPages[random.bounded(static_cast<quint32>(indexPages.size()))];
            for (int flips = 1 + random.bounded(8); flips > 0; --flips) {
                // Mostly the header and mask, where one byte changes the most.
                const int at = random.bounded(2) ? random.bounded(format::kIndexEntriesOffset)
                                                 : random.bounded(format::kPageSize);
                file[qsizetype(page) * format::kPageSize + at] = static_cast<char>(random.bounded(256));
            }
            const auto db = jet4::Database::openBytes(file, QStringLiteral("scribbled.mdb"));
            for (const QString& name : db->tableNames()) {
                const jet4::TableDef& table = *db->findTable(name);
                for (int i = 0; i < static_cast<int>(table.realIndexes.size()); ++i) {
                    try {
                        auto walker = db->walkIndex(table, i);
                        while (walker->next()) {
                        }
                    } catch (const Error& e) {
                        QCOMPARE(e.kind(), Error::Kind::Damaged);
                        ++damaged;
                    }
                    for (const QByteArray& prefix : {QByteArray(), QByteArray("\x7f\x80", 2)}) {
                        if (auto cursor = db->openIndexRange(table, i, prefix))
                            while (cursor->next())
                                cursor->value(0);
                    }
                }
            }
        }
        qInfo("%d damaged walks", damaged);
        QVERIFY(damaged > 50);
    }

private:
    QByteArray original_;
    Target target_;
};

QTEST_GUILESS_MAIN(IndexDamageTest)
#include "tst_index_damage.moc"
