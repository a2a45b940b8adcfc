// libFuzzer target: the input is a whole data file, opened through the data layer exactly as
// the screens open it (a connection and a table record set on each of the three row sources,
// then each screen's query text read to the end, field by field) and checked as
// `convodesk-db check` checks it. DataError (and, from check, the reader's Error, which the
// tool reports at its top) are acceptable outcomes; a crash, a hang or a leak is not.
//
// CONVODESK_FUZZ_SEEDS=DIR fuzz_file writes the writer-made seed files into DIR and ends.
#include "FuzzFiles.h"
#include "convodesk-db/CheckCommand.h"
#include "data/Connection.h"
#include "data/DataError.h"
#include "data/DeskSchema.h"
#include "data/DisplayText.h"
#include "data/Recordset.h"
#include "data/jet4/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace convodesk;

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tassel.mdb"));
    QString connectionText = QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source= ") + path;
};

Fixture& fixture() {
    static Fixture* f = new Fixture; // lives to the end of the process
    return *f;
}

std::shared_ptr<data::Connection> openConnection() {
    auto connection = std::make_shared<data::Connection>();
    connection->setConnectionString(fixture().connectionText);
    connection->setCursorLocation(3);
    connection->open();
    return connection;
}

void readToEnd(data::Recordset& rows) {
    const QStringList names = rows.fieldNames();
    for (; !rows.eof(); rows.moveNext())
        for (const QString& name : names)
            data::displayText(rows.field(name));
}

template <typename Step> void tolerated(Step step) {
    try {
        step();
    } catch (const data::DataError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* seeds = std::getenv("CONVODESK_FUZZ_SEEDS")) {
        const QString dir = QString::fromLocal8Bit(seeds);
        QDir().mkpath(dir);
        fuzz::writeQueryShapesFile(dir + QStringLiteral("/query_shapes.mdb"));
        fuzz::writeGraduateTableFile(dir + QStringLiteral("/graduate_table.mdb"));
        fuzz::writeJoinRingFile(dir + QStringLiteral("/join_ring.mdb"), false);
        fuzz::writeJoinRingFile(dir + QStringLiteral("/outer_join_ring.mdb"), true);
        fuzz::writeUnionChainFile(dir + QStringLiteral("/union_chain.mdb"));
        std::exit(0);
    }
    fuzz::limitQueries();
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    {
        QFile file(fixture().path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(size));
    }
    namespace desk = data::desk;
    const QString sources[] = {desk::kGraduateQuery, desk::kGraduatesTable, desk::kProgrammeTable};
    for (const QString& source : sources)
        tolerated([&] {
            data::Recordset table;
            table.openTable(source, openConnection());
        });
    tolerated([&] {
        data::Recordset lookup;
        lookup.openQuery(desk::graduateLookupText(QStringLiteral("'200300000007'")),
                         fixture().connectionText);
        readToEnd(lookup);
    });
    for (const QString& query :
         {desk::graduateSearchText(QStringLiteral("'%an%'")), QString(desk::kGraduatesInQueueOrder),
          QString(desk::kProgrammesInDescOrder)})
        tolerated([&] {
            data::Recordset rows;
            rows.openQuery(query, openConnection());
            readToEnd(rows);
        });
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    try {
        dbtool::CheckCommand::run({fixture().path}, outStream, errStream);
    } catch (const data::DataError&) {
    } catch (const jet4::Error&) {
    }
    return 0;
}
