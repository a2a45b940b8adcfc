// Opens the input as a database and reads every table (every column of every row) and
// every stored query. Any Error is an acceptable outcome; crashes, hangs and leaks are not.
#include "data/jet4/Error.h"
#include "data/jet4/read/Database.h"

#include <cstddef>
#include <cstdint>

using namespace convodesk::jet4;

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
