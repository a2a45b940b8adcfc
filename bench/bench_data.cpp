// Times the data layer as the screens call it: a new record set with the connection text for
// every call, nothing kept between calls.
#include "data/Connection.h"
#include "data/ConnectionText.h"
#include "data/DeskSchema.h"
#include "data/DisplayText.h"
#include "data/Recordset.h"
#include "data/SqlText.h"
#include "support/DeskFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <utility>

using namespace convodesk::data;
using convodesk::testing::DeskFile;
namespace desk = convodesk::data::desk;

namespace {

double medianMs(const std::function<void()>& call, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        call();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int readToEnd(const QString& query, const QString& connectionText) {
    Recordset rs;
    rs.openQuery(query, connectionText);
    const QStringList names = rs.fieldNames();
    int rows = 0;
    for (; !rs.eof(); rs.moveNext(), ++rows)
        for (const QString& name : names)
            displayText(rs.field(name));
    return rows;
}

// As a screen does it: open its table record set on the source (nothing reads it), then, when
// `query` is given, run the query on the same connection and read it to the end.
int screenRun(const QString& source, const QString& query, const QString& connectionText) {
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(connectionText);
    connection->setCursorLocation(Connection::adUseClient);
    connection->open();
    Recordset table;
    table.openTable(source, connection);
    if (query.isEmpty())
        return 0;
    Recordset rs;
    rs.openQuery(query, connection);
    int rows = 0;
    for (; !rs.eof(); rs.moveNext())
        ++rows;
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    // "bench_data lookup" repeats only the 100,000-graduate lookup, for a profiler.
    const bool lookupOnly = argc > 1 && QByteArray(argv[1]) == "lookup";
    if (lookupOnly) {
        DeskFile::made(100000).write(dir.filePath(desk::kDatabaseFile));
        const QString text = buildConnectionText(dir.path());
        const double hit = medianMs(
            [&] { readToEnd(desk::graduateLookupText(QStringLiteral("'200300050000'")), text); }, 201);
        out << QStringLiteral("100000 graduates: lookup hit %1 ms\n").arg(hit, 0, 'f', 2);
        return 0;
    }
    // "bench_data paste" times the Search screen's query for a pasted 32,767-character text.
    if (argc > 1 && QByteArray(argv[1]) == "paste") {
        DeskFile::made(100000).write(dir.filePath(desk::kDatabaseFile));
        const QString text = buildConnectionText(dir.path());
        const auto searchFor = [](const QString& pasted) {
            return desk::graduateSearchText(sqlTextLiteral(QLatin1Char('%') + pasted + QLatin1Char('%')));
        };
        QString letters, wildcards, ones;
        for (int i = 0; letters.size() < 32767; ++i)
            letters += QChar(u'a' + i % 26);
        for (int i = 0; wildcards.size() < 32767; ++i)
            wildcards += i % 2 ? QLatin1Char('%') : QChar(u'a' + i % 26);
        for (int i = 0; ones.size() < 32767; ++i)
            ones += i % 3 ? QLatin1Char('_') : QLatin1Char('%');
        for (const auto& [name, pasted] : {std::pair{QStringLiteral("letters"), letters},
                                           {QStringLiteral("%a%b%c..."), wildcards},
                                           {QStringLiteral("%__%__..."), ones}}) {
            const double ms = medianMs([&, &pasted = pasted] { readToEnd(searchFor(pasted), text); }, 5);
            out << QStringLiteral("100000 graduates: search for a pasted %1-character text (%2) %3 ms\n")
                       .arg(pasted.size())
                       .arg(name)
                       .arg(ms, 0, 'f', 1);
            out.flush();
        }
        return 0;
    }
    for (int count : {1000, 10000, 100000}) {
        DeskFile::made(count).write(dir.filePath(desk::kDatabaseFile));
        const QString text = buildConnectionText(dir.path());
        const int runs = count >= 100000 ? 21 : 41;
        const QString hitId = QStringLiteral("2003%1").arg(count / 2, 8, 10, QLatin1Char('0'));
        const double hit =
            medianMs([&] { readToEnd(desk::graduateLookupText(sqlTextLiteral(hitId)), text); }, runs);
        const double miss =
            medianMs([&] { readToEnd(desk::graduateLookupText(QStringLiteral("'nobody'")), text); }, runs);
        const QString searchText = desk::graduateSearchText(QStringLiteral("'%123%'"));
        const double search = medianMs([&] { readToEnd(searchText, text); }, runs);
        const double screenSearch =
            medianMs([&] { screenRun(desk::kGraduateQuery, searchText, text); }, runs);
        const double homeOpen = medianMs([&] { screenRun(desk::kGraduateQuery, {}, text); }, runs);
        const double list = medianMs([&] { readToEnd(desk::kGraduatesInQueueOrder, text); }, runs);
        const double programmes = medianMs([&] { readToEnd(desk::kProgrammesInDescOrder, text); }, runs);
        out << QStringLiteral(
                   "%1 graduates: lookup hit %2 ms, miss %3 ms, search %4 ms, graduate list %5 ms, "
                   "programme list %6 ms; as the screens do it: search (table record set + query) %7 ms, "
                   "Home's table record set %8 ms\n")
                   .arg(count)
                   .arg(hit, 0, 'f', 2)
                   .arg(miss, 0, 'f', 2)
                   .arg(search, 0, 'f', 2)
                   .arg(list, 0, 'f', 2)
                   .arg(programmes, 0, 'f', 2)
                   .arg(screenSearch, 0, 'f', 2)
                   .arg(homeOpen, 0, 'f', 2);
        out.flush();
    }
    return 0;
}
