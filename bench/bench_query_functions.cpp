// Functions of the query language on long computed texts, each at n = 15,000, 30,000 and
// 60,000 characters: a time that doubles with n is linear, one that quadruples is not.
//   FormatQuotes       Format(date, 'd' followed by n double quotes)
//   FormatBackslashes  Format(date, 'd' followed by n backslashes)
//   FormatZeros        Format(42, n zeros)
//   LikeEndsLate       Space(n) & 'x' LIKE '%' & Space(n/2) & 'y%'
//   LikeFailsEarly     'x' & Space(n) LIKE '%y' & Space(n/2) & '%'
//   LikeWildcards      n letters 'a' & 'b' LIKE '%a_a_…a_b%' (n/2 characters of 'a_')
//   InStrLong          InStr(Space(n/2) & 'Y' & Space(n), 'y' & Space(n/2))
//   ReplaceLong        Replace of 'y' & Space(n/2) in the same text
//   ReplaceNested      three Replace(…, 'a', 'aa') around n/8 letters, case ignored
//   DateWithLongBlanks IsDate('1/1/2000' & Space(n/2) & '1:2' & Space(n/2) & 'x')
#include "data/MemoryCatalog.h"
#include "data/query/run/QueryEngine.h"

#include <benchmark/benchmark.h>

using namespace convodesk::data;

namespace {

// Runs "select <expression> from One" once per iteration.
void runExpression(benchmark::State& state, const QString& expression) {
    test::MemoryCatalog catalog;
    catalog.addTable(QStringLiteral("One"), {"X"}, {{convodesk::jet4::Value::integer(1)}});
    const QString text = QStringLiteral("select ") + expression + QStringLiteral(" as V from One");
    for (auto _ : state) {
        query::QueryEngine engine(catalog);
        benchmark::DoNotOptimize(engine.runText(text).rows.size());
    }
}

int n(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

QString repeated(const char* piece, int count) {
    return QString::fromLatin1(piece).repeated(count);
}

void FormatQuotes(benchmark::State& state) {
    runExpression(state, QStringLiteral("Format(#1/15/2003#, 'd%1')").arg(repeated("\"", n(state))));
}
void FormatBackslashes(benchmark::State& state) {
    runExpression(state, QStringLiteral("Format(#1/15/2003#, 'd%1')").arg(repeated("\\", n(state))));
}
void FormatZeros(benchmark::State& state) {
    runExpression(state, QStringLiteral("Format(42, '%1')").arg(repeated("0", n(state))));
}
void LikeEndsLate(benchmark::State& state) {
    runExpression(
        state, QStringLiteral("Space(%1) & 'x' Like '%' & Space(%2) & 'y%'").arg(n(state)).arg(n(state) / 2));
}
void LikeFailsEarly(benchmark::State& state) {
    runExpression(
        state, QStringLiteral("'x' & Space(%1) Like '%y' & Space(%2) & '%'").arg(n(state)).arg(n(state) / 2));
}
void LikeWildcards(benchmark::State& state) {
    runExpression(
        state,
        QStringLiteral("Replace(Space(%1), ' ', 'a') & 'b' Like '%' & Replace(Space(%2), ' ', 'a_') & 'b%'")
            .arg(n(state))
            .arg(n(state) / 4));
}
void InStrLong(benchmark::State& state) {
    runExpression(state, QStringLiteral("InStr(Space(%1) & 'Y' & Space(%2), 'y' & Space(%1))")
                             .arg(n(state) / 2)
                             .arg(n(state)));
}
void ReplaceLong(benchmark::State& state) {
    runExpression(state, QStringLiteral("Len(Replace(Space(%1) & 'Y' & Space(%2), 'y' & Space(%1), '!'))")
                             .arg(n(state) / 2)
                             .arg(n(state)));
}
void DateWithLongBlanks(benchmark::State& state) {
    runExpression(
        state, QStringLiteral("IsDate('1/1/2000' & Space(%1) & '1:2' & Space(%1) & 'x')").arg(n(state) / 2));
}
void ReplaceNested(benchmark::State& state) {
    runExpression(state,
                  QStringLiteral("Len(Replace(Replace(Replace(Replace(Space(%1), ' ', 'A'), 'a', 'aa'), 'a', "
                                 "'aa'), 'a', 'aa'))")
                      .arg(n(state) / 8));
}

} // namespace

#define CONVODESK_LINEARITY(name)                                                                            \
    BENCHMARK(name)->Arg(15000)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond)
CONVODESK_LINEARITY(FormatQuotes);
CONVODESK_LINEARITY(FormatBackslashes);
CONVODESK_LINEARITY(FormatZeros);
CONVODESK_LINEARITY(LikeEndsLate);
CONVODESK_LINEARITY(LikeFailsEarly);
CONVODESK_LINEARITY(LikeWildcards);
CONVODESK_LINEARITY(InStrLong);
CONVODESK_LINEARITY(ReplaceLong);
CONVODESK_LINEARITY(ReplaceNested);
CONVODESK_LINEARITY(DateWithLongBlanks);
BENCHMARK_MAIN();
