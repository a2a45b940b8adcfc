// Looking up graduates in realistic desk files of 10,000, 100,000 and 1,000,000 rows
// (RealisticDesk), every figure also as a ratio to one plain read() of the same file:
//   HomeLookup     the Home screen's lookup text for one ID, a new connection per lookup (open,
//                  look up, read every field, close), for an ID in the middle and a missing one
//   IcLookup       the same on the Graduates table for an IC, which no index leads: a full scan
//   ReadFile       plain read() of the file's bytes, 1 MiB at a time
//   QueryProcess   `convodesk-db query FILE "<lookup text>"` as a process
//   Sqlite3Process `sqlite3 FILE "<the same select>"` on the same rows, GraduateID indexed
#include "PlainRead.h"
#include "RatioReporter.h"
#include "RealisticDesk.h"
#include "data/ConnectionText.h"
#include "data/DeskSchema.h"
#include "data/Recordset.h"
#include "data/SqlText.h"

#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace convodesk;

namespace {

const int kSizes[] = {10000, 100000, 1000000};

bench::RealisticDesk& desk(int graduates) {
    static std::map<int, bench::RealisticDesk> made;
    auto it = made.find(graduates);
    if (it == made.end())
        it = made.emplace(graduates, bench::RealisticDesk::make(graduates)).first;
    return it->second;
}

// Opens, reads every field of every row found, closes; the number of rows.
int lookUp(const QString& path, const QString& queryText) {
    data::Recordset rows;
    rows.openQuery(queryText, data::fileConnectionText(path));
    const int fields = static_cast<int>(rows.fieldNames().size());
    int found = 0;
    for (; !rows.eof(); rows.moveNext(), ++found)
        for (int i = 0; i < fields; ++i)
            benchmark::DoNotOptimize(rows.field(i));
    rows.close();
    return found;
}

QString icLookupText(const QString& ic) {
    return QStringLiteral("select * from %1 where IC = %2")
        .arg(data::desk::kGraduatesTable.view().toString(), data::sqlTextLiteral(ic));
}

void timeLookup(benchmark::State& state, const QString& queryText, const QString& path, int expected) {
    for (auto _ : state)
        if (lookUp(path, queryText) != expected) {
            state.SkipWithError("wrong number of rows");
            break;
        }
}

void HomeLookupExisting(benchmark::State& state) {
    const auto& file = desk(static_cast<int>(state.range(0)));
    timeLookup(state, data::desk::graduateLookupText(data::sqlTextLiteral(file.middleId)), file.mdbPath, 1);
}

void HomeLookupMissing(benchmark::State& state) {
    const auto& file = desk(static_cast<int>(state.range(0)));
    timeLookup(state, data::desk::graduateLookupText(data::sqlTextLiteral(QStringLiteral("CV24XXX99999"))),
               file.mdbPath, 0);
}

void IcLookup(benchmark::State& state) {
    const auto& file = desk(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (lookUp(file.mdbPath, icLookupText(file.lastIc)) < 1) {
            state.SkipWithError("IC not found");
            break;
        }
}

void ReadFile(benchmark::State& state) {
    convodesk::bench::timePlainRead(state, desk(static_cast<int>(state.range(0))).mdbPath);
}

void runProcess(benchmark::State& state, const QString& program, const QStringList& arguments,
                const QByteArray& expected) {
    for (auto _ : state) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0 ||
            !process.readAllStandardOutput().contains(expected)) {
            state.SkipWithError(("failed: " + program.toStdString()).c_str());
            break;
        }
    }
}

void QueryProcess(benchmark::State& state) {
    const auto& file = desk(static_cast<int>(state.range(0)));
    runProcess(state, QStringLiteral(BENCH_DBTOOL),
               {QStringLiteral("query"), file.mdbPath,
                data::desk::graduateLookupText(data::sqlTextLiteral(file.middleId))},
               file.middleId.toUtf8());
}

void Sqlite3Process(benchmark::State& state) {
    auto& file = desk(static_cast<int>(state.range(0)));
    if (!file.makeSqlite()) {
        state.SkipWithError("sqlite3 could not be run");
        return;
    }
    runProcess(state, QStringLiteral("sqlite3"),
               {file.sqlitePath, QStringLiteral("select * from Graduates where GraduateID = %1")
                                     .arg(data::sqlTextLiteral(file.middleId))},
               file.middleId.toUtf8());
}

} // namespace

BENCHMARK(HomeLookupExisting)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(HomeLookupMissing)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(IcLookup)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(QueryProcess)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Sqlite3Process)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (int rows : kSizes)
        std::printf("%d graduates: %s, %lld bytes\n", rows, qPrintable(desk(rows).mdbPath),
                    static_cast<long long>(desk(rows).fileBytes));
    convodesk::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-20s %8s %12s %10s %10s\n", "test", "rows", "ms", "x read()", "x sqlite3");
    for (const char* test : {"HomeLookupExisting", "HomeLookupMissing", "IcLookup", "ReadFile",
                             "QueryProcess", "Sqlite3Process"}) {
        for (int rows : kSizes) {
            const std::string size = "/" + std::to_string(rows);
            const double seconds = reporter.secondsOf(test + size);
            if (seconds == 0)
                continue;
            const double raw = reporter.secondsOf("ReadFile" + size);
            const double sqlite = reporter.secondsOf("Sqlite3Process" + size);
            std::printf("%-20s %8d %12.3f %10.2f %10.2f\n", test, rows, seconds * 1e3,
                        raw > 0 ? seconds / raw : 0.0, sqlite > 0 ? seconds / sqlite : 0.0);
        }
    }
    benchmark::Shutdown();
    return 0;
}
