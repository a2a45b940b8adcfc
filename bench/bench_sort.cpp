// Jet's General text order on 100,000 names (mixed case, accents, punctuation):
//   BuildKeys        the sort key of every name
//   SortByKeys       keys built once, then the names sorted by them
//   SortByCompare    sorted by comparing two names at a time (keys built per comparison)
//   SortIgnoringCase the code-point order ignoring case it replaces, for scale
//   OrderByQuery     "select Name from Names order by Name" through the query engine
#include "data/MemoryCatalog.h"
#include "data/jet4/TextSortKey.h"
#include "data/query/run/QueryEngine.h"

#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <numeric>

using convodesk::jet4::TextSortKey;

namespace {

constexpr int kNames = 100000;

const QStringList& names() {
    static const QStringList list = [] {
        const char* first[] = {"José",      "ANNA",   "o'neil", "Zoë",   "Björn",
                               "mary-jane", "Łukasz", "Ærin",   "Straße"};
        const char* last[] = {"Müller", "van der Berg", "Smith", "Ñúñez", "d'Arcy", "Øster", "Lee", "Brontë"};
        QStringList out;
        for (int i = 0; i < kNames; ++i)
            out << QStringLiteral("%1 %2 %3")
                       .arg(QString::fromUtf8(last[i % 8]), QString::fromUtf8(first[(i / 8) % 9]))
                       .arg((i * 7919) % kNames);
        return out;
    }();
    return list;
}

void BuildKeys(benchmark::State& state) {
    for (auto _ : state) {
        TextSortKey::Buffer key;
        for (const QString& name : names()) {
            key.clear();
            TextSortKey::append(name, key);
        }
        benchmark::DoNotOptimize(key.data());
    }
    state.SetItemsProcessed(state.iterations() * kNames);
}

void SortByKeys(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<QByteArray> keys;
        keys.reserve(kNames);
        for (const QString& name : names())
            keys.push_back(TextSortKey::build(name));
        std::vector<int> order(kNames);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
        benchmark::DoNotOptimize(order.data());
    }
}

void SortByCompare(benchmark::State& state) {
    for (auto _ : state) {
        QStringList sorted = names();
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const QString& a, const QString& b) { return TextSortKey::compare(a, b) < 0; });
        benchmark::DoNotOptimize(sorted.data());
    }
}

void SortIgnoringCase(benchmark::State& state) {
    for (auto _ : state) {
        QStringList sorted = names();
        std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        benchmark::DoNotOptimize(sorted.data());
    }
}

void OrderByQuery(benchmark::State& state) {
    using namespace convodesk::data;
    test::MemoryCatalog catalog;
    std::vector<std::vector<convodesk::jet4::Value>> rows;
    for (const QString& name : names())
        rows.push_back({convodesk::jet4::Value::text(name)});
    catalog.addTable(QStringLiteral("Names"), {"Name"}, std::move(rows));
    for (auto _ : state) {
        query::QueryEngine engine(catalog);
        benchmark::DoNotOptimize(
            engine.runText(QStringLiteral("select Name from Names order by Name")).rows.size());
    }
}

} // namespace

BENCHMARK(BuildKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByCompare)->Unit(benchmark::kMillisecond);
BENCHMARK(SortIgnoringCase)->Unit(benchmark::kMillisecond);
BENCHMARK(OrderByQuery)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
