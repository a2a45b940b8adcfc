// Reader speed on writer-made graduate files of 1,000, 10,000 and 100,000 rows:
//   FindById   open + find the last row by GraduateID, decoding only that column
//   SeekById   open + find the same row through the GraduateID primary key (also at 1,000,000)
//   FullScan   every column of every row through our reader
//   Libmdb     the same full scan through mdbtools' libmdb (every column bound)
//   ReadFile   plain read() of the file's bytes
// After the runs, each figure is printed as a ratio to Libmdb and to ReadFile.
#include "PlainRead.h"
#include "RatioReporter.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/write/Writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <mdbtools.h>

using namespace convodesk::jet4;

namespace {

const int kSizes[] = {1000, 10000, 100000};

QString graduateFile(int rows) {
    static QTemporaryDir dir;
    static std::map<int, QString> made;
    if (auto it = made.find(rows); it != made.end())
        return it->second;
    WriterTable t;
    t.name = QStringLiteral("Graduates");
    t.columns = {{"GraduateID", ColumnType::Long},    {"Surname", ColumnType::Text, 40},
                 {"Forenames", ColumnType::Text, 60}, {"Programme", ColumnType::Text, 10},
                 {"Award", ColumnType::Text, 50},     {"Born", ColumnType::DateTime},
                 {"Fee", ColumnType::Currency},       {"Present", ColumnType::Boolean},
                 {"Seat", ColumnType::Integer},       {"Note", ColumnType::Memo}};
    t.primaryKey = {QStringLiteral("GraduateID")};
    t.rows.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        t.rows.push_back(
            {Value::integer(100000 + i), Value::text(QStringLiteral("Surname%1").arg(i)),
             Value::text(QStringLiteral("Anne Marie %1").arg(i % 97)),
             Value::text(QStringLiteral("P%1").arg(i % 40)),
             Value::text(QStringLiteral("Bachelor of Science (Honours)")), Value::dateTime(35000 + i % 3000),
             Value::currency(1250000), Value::boolean(i % 3 == 0), Value::integer(i % 30000),
             i % 5 == 0 ? Value::text(QStringLiteral("Needs a ramp at the stage; seat near the aisle."))
                        : Value::null()});
    }
    QString path = dir.filePath(QStringLiteral("graduates-%1.mdb").arg(rows));
    writeDatabase(path, {t}, {});
    made[rows] = path;
    return path;
}

// Opens the file of `state.range(0)` graduates each iteration and asks `found` whether the
// last of them (by GraduateID) can be found in its Graduates table.
template <typename Find> void findLastGraduate(benchmark::State& state, Find found) {
    const int rows = static_cast<int>(state.range(0));
    const QString path = graduateFile(rows);
    const std::int64_t wanted = 100000 + rows - 1;
    for (auto _ : state) {
        const auto db = Database::open(path);
        const TableDef* table = db->findTable(u"Graduates");
        if (!found(*db, *table, table->columnIndex(u"GraduateID"), wanted))
            state.SkipWithError("row not found");
    }
}

void FindById(benchmark::State& state) {
    findLastGraduate(state, [](const Database& db, const TableDef& table, int id, std::int64_t wanted) {
        auto cursor = db.openCursor(table);
        while (cursor->next())
            if (cursor->value(id).asInteger() == wanted)
                return true;
        return false;
    });
}

void SeekById(benchmark::State& state) {
    findLastGraduate(state, [](const Database& db, const TableDef& table, int id, std::int64_t wanted) {
        auto cursor = db.openSeek(table, id, Value::integer(wanted));
        return cursor && cursor->next() && cursor->value(id).asInteger() == wanted;
    });
}

void FullScan(benchmark::State& state) {
    const QString path = graduateFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto db = Database::open(path);
        const TableDef* table = db->findTable(u"Graduates");
        auto cursor = db->openCursor(*table);
        const int columns = static_cast<int>(table->columns.size());
        while (cursor->next()) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(cursor->value(c));
        }
    }
}

void Libmdb(benchmark::State& state) {
    const QByteArray path = QFile::encodeName(graduateFile(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        MdbHandle* mdb = mdb_open(path.constData(), MDB_NOFLAGS);
        mdb_read_catalog(mdb, MDB_TABLE);
        char name[] = "Graduates";
        MdbTableDef* table = mdb_read_table_by_name(mdb, name, MDB_TABLE);
        mdb_read_columns(table);
        mdb_rewind_table(table);
        std::vector<std::vector<char>> bound(table->num_cols, std::vector<char>(MDB_BIND_SIZE));
        std::vector<int> lengths(table->num_cols);
        for (unsigned i = 0; i < table->num_cols; ++i)
            mdb_bind_column(table, static_cast<int>(i + 1), bound[i].data(), &lengths[i]);
        while (mdb_fetch_row(table))
            benchmark::DoNotOptimize(bound[0][0]);
        mdb_free_tabledef(table);
        mdb_close(mdb);
    }
}

void ReadFile(benchmark::State& state) {
    convodesk::bench::timePlainRead(state, graduateFile(static_cast<int>(state.range(0))));
}

} // namespace

BENCHMARK(FindById)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SeekById)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Libmdb)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (int rows : kSizes)
        graduateFile(rows); // write the files before timing anything
    convodesk::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-10s %8s %12s %12s %12s\n", "test", "rows", "ms", "x libmdb", "x read()");
    for (const char* test : {"FindById", "SeekById", "FullScan", "Libmdb", "ReadFile"}) {
        for (int rows : kSizes) {
            const std::string key = std::string(test) + "/" + std::to_string(rows);
            const double seconds = reporter.secondsOf(key);
            if (seconds == 0)
                continue;
            const double lib = reporter.secondsOf("Libmdb/" + std::to_string(rows));
            const double raw = reporter.secondsOf("ReadFile/" + std::to_string(rows));
            std::printf("%-10s %8d %12.3f %12.3f %12.2f\n", test, rows, seconds * 1e3,
                        lib > 0 ? seconds / lib : 0.0, raw > 0 ? seconds / raw : 0.0);
        }
    }
    benchmark::Shutdown();
    return 0;
}
