#include "CheckCommand.h"

#include "IndexCheck.h"
#include "ToolInfo.h"
#include "data/Connection.h"
#include "data/ConnectionText.h"
#include "data/DataError.h"
#include "data/DeskSchema.h"
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
namespace desk = data::desk;

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
            throw data::DataError::noSuchField(field, name);
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
    connection->setConnectionString(data::fileConnectionText(jet4::NativePath::absolute(file)));
    try {
        connection->open();
    } catch (const data::DataError& error) {
        err << "convodesk-db " << command << ": " << error.description() << "\n";
        return kExitBadInput;
    }
    const auto database = connection->database();
    QStringList warnings;
    Failures failures;
    // What the screens read of each source.
    struct Wanted {
        QString name;
        QStringList fields;
    };
    const QString graduate = desk::kGraduateQuery, graduates = desk::kGraduatesTable,
                  programme = desk::kProgrammeTable;
    const Wanted wanted[] = {{graduate, desk::nameList(desk::kGraduateFieldsUsed)},
                             {graduates, desk::nameList(desk::kGraduatesFieldsUsed)},
                             {programme, desk::nameList(desk::kProgrammeFieldsUsed)}};
    const auto warnNull = [&warnings](const QString& source, const QString& field, const QStringList& ids) {
        if (!ids.isEmpty())
            warnings << QStringLiteral("%1: Null %2 for %3").arg(source, field, listed(ids));
    };
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
    if (read.contains(graduate) && read.contains(graduates) && read[graduate].rows.empty() &&
        !read[graduates].rows.empty())
        failures.add(graduate, QStringLiteral("yields no row while the table %1 holds %2 rows")
                                   .arg(graduates)
                                   .arg(read[graduates].rows.size()));
    if (read.contains(graduate)) {
        constexpr auto at = [](const auto& field) {
            return desk::indexOf(desk::kGraduateFieldsUsed, field.view());
        };
        constexpr std::size_t id = at(desk::kGraduateId), name = at(desk::kName),
                              description = at(desk::kProgramDesc), queue = at(desk::kQueue);
        QStringList badLength, duplicates, nullNames, nullDescriptions, nullQueue;
        QSet<QString> seen;
        for (const auto& row : read[graduate].rows) {
            const QString shownId = row[id].kind() == Value::Kind::Text ? row[id].asText() : QString();
            if (row[id].kind() != Value::Kind::Text || shownId.size() != desk::kGraduateIdLength)
                badLength << (row[id].isNull() ? QStringLiteral("(Null)")
                                               : QStringLiteral("'%1'").arg(shownId));
            if (seen.contains(keyText(row[id])))
                duplicates << shownId;
            seen.insert(keyText(row[id]));
            if (row[name].isNull())
                nullNames << shownId;
            if (row[description].isNull())
                nullDescriptions << shownId;
            if (row[queue].isNull())
                nullQueue << shownId;
        }
        if (!badLength.isEmpty())
            warnings << QStringLiteral("%1: %2 not %3 characters: %4")
                            .arg(graduate, desk::kGraduateId)
                            .arg(desk::kGraduateIdLength)
                            .arg(listed(badLength));
        if (!duplicates.isEmpty())
            warnings << QStringLiteral("%1: duplicate %2: %3")
                            .arg(graduate, desk::kGraduateId, listed(duplicates));
        warnNull(graduate, desk::kName, nullNames);
        warnNull(graduate, desk::kProgramDesc, nullDescriptions);
        warnNull(graduate, desk::kQueue, nullQueue);
    }
    if (read.contains(graduates) && read.contains(programme)) {
        constexpr auto at = [](const auto& field) {
            return desk::indexOf(desk::kGraduatesFieldsUsed, field.view());
        };
        constexpr std::size_t id = at(desk::kGraduateId), code = at(desk::kProgramme),
                              queue = at(desk::kQueue);
        constexpr std::size_t programCode =
            desk::indexOf(desk::kProgrammeFieldsUsed, desk::kProgramCode.view());
        QSet<QString> codes;
        for (const auto& row : read[programme].rows)
            codes.insert(keyText(row[programCode]));
        QStringList unknown, nullQueue;
        for (const auto& row : read[graduates].rows) {
            const QString shownId = row[id].kind() == Value::Kind::Text ? row[id].asText() : QString();
            if (!codes.contains(keyText(row[code])))
                unknown << QStringLiteral("%1 (%2)").arg(
                    shownId, row[code].isNull() ? QStringLiteral("Null") : keyText(row[code]).toUpper());
            if (row[queue].isNull())
                nullQueue << shownId;
        }
        if (!unknown.isEmpty())
            warnings << QStringLiteral("%1: programme code not in %2: %3")
                            .arg(graduates, programme, listed(unknown));
        warnNull(graduates, desk::kQueue, nullQueue);
    }
    // Every table is read whole, and each of its indexes compared with it: damage anywhere (a
    // row count its pages do not hold, an index that lost or misnames rows) is a failure naming
    // the table.
    for (const QString& name : database->tableNames()) {
        try {
            if (const jet4::TableDef* table = database->findTable(name)) {
                auto cursor = database->openCursor(*table);
                while (cursor->next()) {
                }
                // An index that disagrees with its table would give a lookup wrong rows.
                const IndexCheck::Result indexes = IndexCheck::checkTable(*database, *table);
                for (const QString& damage : indexes.damage)
                    failures.add(name, damage, true);
                for (const QString& note : indexes.unchecked)
                    warnings << note;
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
