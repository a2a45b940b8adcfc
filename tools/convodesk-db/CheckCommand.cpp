#include "CheckCommand.h"

#include "ToolInfo.h"
#include "data/Connection.h"
#include "data/DataError.h"
#include "data/JetErrorText.h"
#include "data/Recordset.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/NativePath.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <memory>

namespace convodesk::dbtool {
namespace {

using data::Recordset;
using jet4::Value;

struct SourceRows {
    QStringList names;
    std::vector<std::vector<Value>> rows;
};

SourceRows readSource(const QString& name, const std::shared_ptr<data::Connection>& connection,
                      const QStringList& fields) {
    Recordset rs;
    rs.openTable(name, connection);
    SourceRows result;
    result.names = rs.fieldNames();
    for (const QString& field : fields)
        if (!result.names.contains(field, Qt::CaseInsensitive))
            throw data::DataError(data::DataError::NoSuchField,
                                  QStringLiteral("No field named '%1' in '%2'.").arg(field, name));
    for (; !rs.eof(); rs.moveNext()) {
        std::vector<Value> row;
        for (const QString& field : fields)
            row.push_back(rs.field(field));
        result.rows.push_back(std::move(row));
    }
    return result;
}

// Failures in the order found, each reason once with every source that met it; a damaged
// table is named first, before the sources that read it.
struct Failures {
    std::vector<std::pair<QString, QStringList>> reasons;
    void add(const QString& source, const QString& reason, bool isTable = false) {
        auto known =
            std::find_if(reasons.begin(), reasons.end(), [&](const auto& r) { return r.first == reason; });
        if (known == reasons.end()) {
            reasons.emplace_back(reason, QStringList{source});
            return;
        }
        QStringList& names = known->second;
        names.removeAll(source);
        if (isTable)
            names.prepend(source);
        else
            names << source;
    }
};

QString listed(const QStringList& items) {
    QStringList shown = items.mid(0, 5);
    if (items.size() > 5)
        shown << QStringLiteral("... (%1 in all)").arg(items.size());
    return shown.join(QStringLiteral(", "));
}

QString keyText(const Value& v) {
    return v.kind() == Value::Kind::Text ? v.asText().toCaseFolded() : QString();
}

} // namespace

QString CheckCommand::helpText() {
    return QStringLiteral(
        "convodesk-db check FILE\n"
        "  Checks that Graduate, Graduates and Programme can be read with the fields the screens\n"
        "  use, lists their row counts and warns about suspect data. Exit 0: every screen will\n"
        "  work; 1: one would fail; 2: FILE cannot be read.\n");
}

int CheckCommand::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << helpText();
        return kExitOk;
    }
    if (args.size() != 1) {
        err << "convodesk-db check: expected FILE.\n" << helpText();
        return kExitBadInput;
    }
    return checkFile(args[0], out, err, QStringLiteral("check"));
}

int CheckCommand::checkFile(const QString& file, QTextStream& out, QTextStream& err, const QString& command) {
    auto connection = std::make_shared<data::Connection>();
    connection->setConnectionString(QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source=") +
                                    jet4::NativePath::absolute(file));
    try {
        connection->open();
    } catch (const data::DataError& error) {
        err << "convodesk-db " << command << ": " << error.description() << "\n";
        return kExitBadInput;
    }
    const auto database = connection->database();
    QStringList warnings;
    Failures failures;
    struct Wanted {
        QString name;
        QStringList fields;
    };
    const Wanted wanted[] = {
        {QStringLiteral("Graduate"), {"GraduateID", "Name", "Program_Desc", "Queue"}},
        {QStringLiteral("Graduates"),
         {"GraduateID", "Name", "IC", "Programme", "Faculty", "Phone", "Status", "Audio", "Queue"}},
        {QStringLiteral("Programme"), {"Program_Code", "Program_Desc", "Program_Faculty"}}};
    QHash<QString, SourceRows> read;
    for (const Wanted& source : wanted) {
        try {
            const QString kind =
                database->findTable(source.name) ? QStringLiteral("table") : QStringLiteral("query");
            read.insert(source.name, readSource(source.name, connection, source.fields));
            out << "ok    " << source.name << " (" << kind << "): " << read[source.name].rows.size()
                << " rows\n";
        } catch (const data::DataError& error) {
            failures.add(source.name, error.description());
        } catch (const jet4::Error& error) {
            failures.add(source.name, error.message());
        }
    }
    // A Graduate that shows nobody from a filled Graduates loses every graduate on the desk.
    if (read.contains(QStringLiteral("Graduate")) && read.contains(QStringLiteral("Graduates")) &&
        read[QStringLiteral("Graduate")].rows.empty() && !read[QStringLiteral("Graduates")].rows.empty())
        failures.add(QStringLiteral("Graduate"),
                     QStringLiteral("yields no row while the table Graduates holds %1 rows")
                         .arg(read[QStringLiteral("Graduates")].rows.size()));
    if (read.contains(QStringLiteral("Graduate"))) {
        QStringList badLength, duplicates, nullNames, nullDescriptions, nullQueue;
        QSet<QString> seen;
        for (const auto& row : read[QStringLiteral("Graduate")].rows) {
            const QString id = row[0].kind() == Value::Kind::Text ? row[0].asText() : QString();
            if (row[0].kind() != Value::Kind::Text || id.size() != 12)
                badLength << (row[0].isNull() ? QStringLiteral("(Null)") : QStringLiteral("'%1'").arg(id));
            if (seen.contains(keyText(row[0])))
                duplicates << id;
            seen.insert(keyText(row[0]));
            if (row[1].isNull())
                nullNames << id;
            if (row[2].isNull())
                nullDescriptions << id;
            if (row[3].isNull())
                nullQueue << id;
        }
        if (!badLength.isEmpty())
            warnings << QStringLiteral("Graduate: GraduateID not 12 characters: %1").arg(listed(badLength));
        if (!duplicates.isEmpty())
            warnings << QStringLiteral("Graduate: duplicate GraduateID: %1").arg(listed(duplicates));
        if (!nullNames.isEmpty())
            warnings << QStringLiteral("Graduate: Null Name for %1").arg(listed(nullNames));
        if (!nullDescriptions.isEmpty())
            warnings << QStringLiteral("Graduate: Null Program_Desc for %1").arg(listed(nullDescriptions));
        if (!nullQueue.isEmpty())
            warnings << QStringLiteral("Graduate: Null Queue for %1").arg(listed(nullQueue));
    }
    if (read.contains(QStringLiteral("Graduates")) && read.contains(QStringLiteral("Programme"))) {
        QSet<QString> codes;
        for (const auto& row : read[QStringLiteral("Programme")].rows)
            codes.insert(keyText(row[0]));
        QStringList unknown, nullQueue;
        for (const auto& row : read[QStringLiteral("Graduates")].rows) {
            const QString id = row[0].kind() == Value::Kind::Text ? row[0].asText() : QString();
            if (!codes.contains(keyText(row[3])))
                unknown << QStringLiteral("%1 (%2)").arg(id, row[3].isNull() ? QStringLiteral("Null")
                                                                             : keyText(row[3]).toUpper());
            if (row[8].isNull())
                nullQueue << id;
        }
        if (!unknown.isEmpty())
            warnings << QStringLiteral("Graduates: programme code not in Programme: %1").arg(listed(unknown));
        if (!nullQueue.isEmpty())
            warnings << QStringLiteral("Graduates: Null Queue for %1").arg(listed(nullQueue));
    }
    // Every table is read whole: damage anywhere (a row count its pages do not hold included)
    // is a failure naming the table.
    for (const QString& name : database->tableNames()) {
        try {
            if (const jet4::TableDef* table = database->findTable(name)) {
                auto cursor = database->openCursor(*table);
                while (cursor->next()) {
                }
            }
        } catch (const jet4::Error& error) {
            failures.add(name, error.message(), true);
        }
    }
    const bool failed = !failures.reasons.empty();
    for (const auto& [reason, names] : failures.reasons)
        out << "FAIL  " << names.join(QStringLiteral(", ")) << ": " << reason << "\n";
    for (const QString& warning : warnings)
        out << "warning: " << warning << "\n";
    out << (failed ? "Some screens would fail with this file.\n" : "Every screen can use this file.\n");
    return failed ? kExitFailure : kExitOk;
}

} // namespace convodesk::dbtool
