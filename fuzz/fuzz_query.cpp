// libFuzzer target: runs the input as a query text through the data layer (a record set on an
// open connection, as the screens run theirs) against a small file our writer made, holding
// stored queries of many shapes, and reads every field of every row. A DataError is an
// acceptable outcome; a crash, a hang or a leak is not.
#include "FuzzFiles.h"
#include "data/Connection.h"
#include "data/DataError.h"
#include "data/DisplayText.h"
#include "data/Recordset.h"

#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace convodesk;

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<data::Connection> connection = std::make_shared<data::Connection>();

    Fixture() {
        const QString path = dir.filePath(QStringLiteral("Tassel.mdb"));
        fuzz::writeQueryShapesFile(path);
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source= ") +
                                        path);
        connection->setCursorLocation(3);
        connection->open();
    }
};

Fixture& fixture() {
    static Fixture* f = new Fixture; // lives to the end of the process
    return *f;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::limitQueries();
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    try {
        data::Recordset rows;
        rows.openQuery(text, fixture().connection);
        const QStringList names = rows.fieldNames();
        for (; !rows.eof(); rows.moveNext())
            for (const QString& name : names)
                data::displayText(rows.field(name));
    } catch (const data::DataError&) {
    }
    return 0;
}
