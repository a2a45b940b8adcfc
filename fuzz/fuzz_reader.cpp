// Opens the input as a database and reads every table (every column of every row), every
// index of it, and every stored query. Any Error is an acceptable outcome; crashes, hangs and
// leaks are not.
#include "data/jet4/Error.h"
#include "data/jet4/read/Database.h"

#include <cstddef>
#include <cstdint>

using namespace convodesk::jet4;

namespace {

// Every entry of every index of the table, and a seek through each that reads its rows.
void walkIndexes(const Database& db, const QString& name) {
    try {
        const TableDef* table = db.findTable(name);
        for (int i = 0; table && i < static_cast<int>(table->realIndexes.size()); ++i) {
            try {
                auto walker = db.walkIndex(*table, i);
                while (walker->next()) {
                }
                if (auto cursor = db.openIndexRange(*table, i, QByteArrayView("\x7f", 1)))
                    while (cursor->next())
                        cursor->value(0);
            } catch (const Error&) {
            }
        }
    } catch (const Error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto db =
            Database::openBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                                QStringLiteral("fuzz.mdb"));
        const QStringList queries = db->queryNames();
        for (const QString& name : queries)
            db->findQuery(name);
        QStringList tables = db->tableNames();
        tables << QStringLiteral("MSysObjects") << QStringLiteral("MSysQueries");
        for (const QString& name : tables) {
            try {
                const TableDef* table = db->findTable(name);
                if (!table)
                    continue;
                auto cursor = db->openCursor(*table);
                while (cursor->next()) {
                    for (int i = 0; i < static_cast<int>(table->columns.size()); ++i) {
                        QStringView text;
                        cursor->textView(i, text);
                        cursor->value(i);
                    }
                }
            } catch (const Error&) {
            }
            walkIndexes(*db, name);
        }
        for (const QString& name : db->linkedTableNames()) {
            try {
                db->findTable(name);
            } catch (const Error&) {
            }
        }
    } catch (const Error&) {
    }
    return 0;
}
