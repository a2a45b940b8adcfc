// Primary keys of written files: mdbtools lists them, and their index pages form a sound tree
// (checked page by page here) whose entries are the rows' keys in index order.
#include "data/jet4/Error.h"
#include "data/jet4/IndexKey.h"
#include "data/jet4/read/Database.h"
#include "support/ReferenceReaders.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QTest>
#include <algorithm>

using namespace convodesk;
using namespace convodesk::testing;
using jet4::ColumnType;
using jet4::Value;
using jet4::WriterTable;

Q_DECLARE_METATYPE(convodesk::jet4::Value)

namespace {

std::uint32_t le(const QByteArray& b, qsizetype at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

std::uint32_t be(const QByteArray& b, qsizetype at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

// Walks an index from its root, checking each page as Access lays it out; collects the
// leaf entries in chain order. Failures are recorded in `problems`.
class IndexTree {
public:
    IndexTree(const QByteArray& file, std::uint32_t tdefPage) : file_(file), tdefPage_(tdefPage) {}

    std::vector<QByteArray> leaves;
    std::vector<std::uint32_t> leafPages;
    int depth = 0;
    QStringList problems;

    void walk(std::uint32_t root) {
        walkPage(root, 1);
        for (std::size_t i = 0; i < leafPages.size(); ++i) {
            const QByteArray p = page(leafPages[i]);
            check(le(p, 12, 4) == (i > 0 ? leafPages[i - 1] : 0), QStringLiteral("leaf prev link"));
            check(le(p, 16, 4) == (i + 1 < leafPages.size() ? leafPages[i + 1] : 0),
                  QStringLiteral("leaf next link"));
        }
        for (std::size_t i = 1; i < leaves.size(); ++i)
            check(leaves[i - 1] < leaves[i], QStringLiteral("entries out of order at %1").arg(i));
    }

private:
    QByteArray page(std::uint32_t n) const { return file_.mid(qsizetype(n) * 4096, 4096); }
    void check(bool ok, const QString& what) {
        if (!ok && problems.size() < 10)
            problems << what;
    }

    std::vector<QByteArray> entries(const QByteArray& p) {
        const int prefix = static_cast<int>(le(p, 24, 2));
        std::vector<QByteArray> out;
        int start = 0x1E0;
        for (int k = 0; k < 453 * 8; ++k) {
            if (!(static_cast<std::uint8_t>(p[27 + k / 8]) & (1 << (k % 8))))
                continue;
            QByteArray stored = p.mid(start, 0x1E0 + k - start);
            if (!out.empty())
                stored.prepend(out.front().left(prefix));
            out.push_back(stored);
            start = 0x1E0 + k;
        }
        check(le(p, 2, 2) == std::uint32_t(4096 - start), QStringLiteral("free space"));
        check(le(p, 4, 4) == tdefPage_, QStringLiteral("owner"));
        return out;
    }

    // Returns the last leaf entry under page n.
    QByteArray walkPage(std::uint32_t n, int level) {
        depth = std::max(depth, level);
        const QByteArray p = page(n);
        if (p.size() != 4096 || level > 8) {
            check(false, QStringLiteral("page %1 missing or tree too deep").arg(n));
            return {};
        }
        const std::vector<QByteArray> list = entries(p);
        if (p[0] == 0x04) {
            check(p[26] == 0 && le(p, 20, 4) == 0, QStringLiteral("leaf header"));
            leafPages.push_back(n);
            leaves.insert(leaves.end(), list.begin(), list.end());
            return list.empty() ? QByteArray() : list.back();
        }
        check(p[0] == 0x03 && p[26] == 1 && le(p, 24, 2) == 0, QStringLiteral("intermediate header"));
        check(!list.empty(), QStringLiteral("intermediate page without entries"));
        for (const QByteArray& e : list) {
            const QByteArray last = walkPage(be(e, e.size() - 4, 4), level + 1);
            check(last == e.left(e.size() - 4), QStringLiteral("entry is not its child's last entry"));
        }
        return walkPage(le(p, 20, 4), level + 1);
    }

    const QByteArray& file_;
    std::uint32_t tdefPage_;
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

WriterTable idTable(int rows, bool textIds) {
    WriterTable t;
    t.name = QStringLiteral("People");
    t.columns = {{QStringLiteral("Note"), ColumnType::Text, 40},
                 {QStringLiteral("Id"), textIds ? ColumnType::Text : ColumnType::Long, 20}};
    t.primaryKey = {QStringLiteral("id")};
    // Written in an order unlike the key's, so the index must sort.
    for (int i = 0; i < rows; ++i) {
        const int id = (i * 7919) % rows;
        t.rows.push_back({Value::text(QStringLiteral("row %1").arg(i)),
                          textIds ? Value::text(QStringLiteral("ID%1").arg(id, 7, 10, QLatin1Char('0')))
                                  : Value::integer(id - rows / 2)});
    }
    return t;
}

// The physical index block's root page, read the way the tdef lays it out.
std::uint32_t rootPage(const QByteArray& file, const jet4::TableDef& table) {
    const QByteArray tdef = file.mid(qsizetype(table.tdefPage) * 4096, 4096);
    qsizetype at = 63 + 12 + 25 * qsizetype(table.columns.size());
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        at += 2 + le(tdef, at, 2);
    return le(tdef, at + 38, 4);
}

} // namespace

class WriterPrimaryKeyTest : public QObject {
    Q_OBJECT

private slots:
    void mdbtoolsListsThePrimaryKey() {
        TempDatabase db;
        const QString file = db.write({idTable(50, true)});
        const ReferenceReaders::Result r = ReferenceReaders::run(
            QStringLiteral("mdb-schema"), {QStringLiteral("--indexes"), file, QStringLiteral("postgres")});
        QVERIFY2(r.out.contains(QStringLiteral(
                     "ALTER TABLE \"people\" ADD CONSTRAINT \"people_pkey\" PRIMARY KEY (\"id\");")),
                 qPrintable(r.out + r.err));
        QCOMPARE(ReferenceReaders::mdbExport(file, QStringLiteral("People")).rows.size(), std::size_t(50));
        const QJsonObject dump = ReferenceReaders::mdbReaderDump(file);
        QCOMPARE(dump.value(QStringLiteral("data"))
                     .toObject()
                     .value(QStringLiteral("People"))
                     .toObject()
                     .value(QStringLiteral("rowCount"))
                     .toInt(),
                 50);
    }

    // One leaf; several leaves under one root; 200,000 keys need a level more.
    void indexPagesFormASoundTree_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("textIds");
        QTest::addColumn<int>("depth");
        QTest::newRow("empty") << 0 << false << 1;
        QTest::newRow("one leaf") << 300 << false << 1;
        QTest::newRow("text, two levels") << 5000 << true << 2;
        QTest::newRow("long, three levels") << 200000 << false << 3;
    }
    void indexPagesFormASoundTree() {
        QFETCH(int, rows);
        QFETCH(bool, textIds);
        QFETCH(int, depth);
        TempDatabase db;
        const QString path = db.write({idTable(rows, textIds)});
        const QByteArray file = readAll(path);
        const auto database = jet4::Database::open(path);
        const jet4::TableDef& table = *database->findTable(QStringLiteral("People"));
        IndexTree tree(file, table.tdefPage);
        tree.walk(rootPage(file, table));
        QVERIFY2(tree.problems.isEmpty(), qPrintable(tree.problems.join(QLatin1Char('\n'))));
        QCOMPARE(tree.depth, depth);
        QCOMPARE(tree.leaves.size(), std::size_t(rows));

        // Entry i in row-pointer order belongs to the i-th row the cursor reads.
        std::vector<QByteArray> byRow = tree.leaves;
        std::sort(byRow.begin(), byRow.end(),
                  [](const QByteArray& a, const QByteArray& b) { return a.right(4) < b.right(4); });
        auto cursor = database->openCursor(table);
        for (const QByteArray& entry : byRow) {
            QVERIFY(cursor->next());
            jet4::IndexKey::Buffer key;
            QVERIFY(jet4::IndexKey::append(table.columns[1], true, cursor->value(1), key));
            QCOMPARE(entry.left(entry.size() - 4),
                     QByteArray(reinterpret_cast<const char*>(key.data()), key.size()));
        }
        QVERIFY(!cursor->next());
    }

    void keyProblemsAreRefusedWithoutAFile_data() {
        QTest::addColumn<Value>("second");
        QTest::addColumn<QString>("message");
        QTest::newRow("same key, other case")
            << Value::text(QStringLiteral("ABC "))
            << QStringLiteral("rows 1 and 2 have the same primary key (\"abc\" and \"ABC \")");
        QTest::newRow("null") << Value::null()
                              << QStringLiteral("row 2: the primary key column \"Id\" has no value");
    }
    void keyProblemsAreRefusedWithoutAFile() {
        QFETCH(Value, second);
        QFETCH(QString, message);
        WriterTable t;
        t.name = QStringLiteral("T");
        t.columns = {{QStringLiteral("Id"), ColumnType::Text, 10}};
        t.primaryKey = {QStringLiteral("Id")};
        t.rows = {{Value::text(QStringLiteral("abc"))}, {second}};
        TempDatabase db;
        try {
            db.write({t});
            QFAIL("written");
        } catch (const jet4::Error& e) {
            QCOMPARE(e.kind(), jet4::Error::Kind::InvalidInput);
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QVERIFY(db.files().isEmpty());
    }

    void keyColumnsMustExist() {
        WriterTable t = idTable(1, false);
        t.primaryKey = {QStringLiteral("Nope")};
        TempDatabase db;
        QVERIFY_THROWS_EXCEPTION(jet4::Error, db.write({t}));
        t.primaryKey = {QStringLiteral("Id"), QStringLiteral("ID")};
        QVERIFY_THROWS_EXCEPTION(jet4::Error, db.write({t}));
    }
};

QTEST_GUILESS_MAIN(WriterPrimaryKeyTest)
#include "tst_writer_primary_key.moc"
