#include "MakeCommand.h"

#include "CsvError.h"
#include "CsvReader.h"
#include "GraduateTables.h"
#include "ToolInfo.h"
#include "data/DeskSchema.h"
#include "data/jet4/Error.h"
#include "data/jet4/read/NativePath.h"

#include <QFileInfo>
#include <limits>

namespace convodesk::dbtool {

QString MakeCommand::helpText() {
    const jet4::QueryDef graduate = GraduateTables::graduateQuery();
    QStringList columns; // shown on two lines
    for (const jet4::QueryDef::Column& column : graduate.columns)
        columns << column.expression;
    const QString comma = QStringLiteral(", ");
    const auto number = [](auto n) { return QString::number(n); };
    return QStringLiteral(
               "Usage: convodesk-db make --graduates FILE.csv --programmes FILE.csv --output Tassel.mdb\n"
               "                         [--force] [--graduate-table]\n"
               "\n"
               "Builds a new Access (Jet 4) database from two CSV files.\n"
               "\n"
               "  --graduates FILE    graduates, one row each, in ceremony order. Required columns:\n"
               "                      %1\n"
               "  --programmes FILE   programmes. Required columns: %2\n"
               "  --output FILE       the database to create\n"
               "  --force             replace FILE if it exists (otherwise an existing file is left alone)\n"
               "  --graduate-table    write %3 as a plain table instead of a stored query\n"
               "\n"
               "The database gets the tables %4 and %5 and the stored query %3:\n"
               "  SELECT %6,\n"
               "  %7 FROM %4 LEFT JOIN %5 ON %8\n"
               "\n"
               "CSV rules:\n"
               "  - UTF-8, with or without a byte-order mark; CRLF or LF line ends; blank lines are "
               "skipped.\n"
               "  - The first row names the columns; their order is free, names ignore letter case and\n"
               "    must not repeat. Extra columns are kept as text columns after the required ones.\n"
               "  - Fields may be quoted (\"...\"): a quote inside is doubled (\"\"), line breaks are kept.\n"
               "  - An unquoted empty field is Null (no value); a quoted empty field \"\" is the empty "
               "text.\n"
               "  - %14 and %15 are the tables' primary keys: every row needs a value there, and no\n"
               "    two rows the same one (letter case and trailing spaces do not count).\n"
               "  - %9 is a whole number from %10 to %11, or empty (Null).\n"
               "    Every other column is text of at most %12 characters; all fields of one row together\n"
               "    may hold at most %13 bytes (2 bytes a character, about 2,000 characters).\n"
               "\n"
               "Bad input is reported with the file, line and column; the exit status is then 2 and no\n"
               "database is written.\n")
        .arg(GraduateTables::graduateColumns().join(comma), GraduateTables::programmeColumns().join(comma),
             graduate.name, graduate.tables[0].name, graduate.tables[1].name, columns.mid(0, 4).join(comma),
             columns.mid(4).join(comma), graduate.joins.front().on, data::desk::kQueue,
             number(std::numeric_limits<std::int32_t>::min()),
             number(std::numeric_limits<std::int32_t>::max()), number(GraduateTables::kMaxTextLength),
             number(jet4::maxRowBytes()))
        .arg(data::desk::kGraduateId, data::desk::kProgramCode);
}

QString MakeCommand::parse(const QStringList& args, Options& o) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&](QString& target) -> QString {
            if (i + 1 >= args.size() || args[i + 1].startsWith(QLatin1String("--")))
                return QStringLiteral("%1 needs a file name.").arg(a);
            target = args[++i];
            return {};
        };
        QString problem;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            o.help = true;
        else if (a == QLatin1String("--force"))
            o.force = true;
        else if (a == QLatin1String("--graduate-table"))
            o.graduateAsTable = true;
        else if (a == QLatin1String("--graduates"))
            problem = value(o.graduates);
        else if (a == QLatin1String("--programmes"))
            problem = value(o.programmes);
        else if (a == QLatin1String("--output"))
            problem = value(o.output);
        else
            problem = QStringLiteral("unknown argument \"%1\".").arg(a);
        if (!problem.isEmpty())
            return problem;
    }
    if (o.help)
        return {};
    if (o.graduates.isEmpty())
        return QStringLiteral("--graduates is required.");
    if (o.programmes.isEmpty())
        return QStringLiteral("--programmes is required.");
    if (o.output.isEmpty())
        return QStringLiteral("--output is required.");
    return {};
}

int MakeCommand::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options o;
    if (const QString problem = parse(args, o); !problem.isEmpty()) {
        err << "convodesk-db make: " << problem << "\nTry 'convodesk-db make --help'.\n";
        return kExitBadInput;
    }
    if (o.help) {
        out << helpText();
        return kExitOk;
    }
    // The writer names its file through Qt, which cannot write a name that is not UTF-8.
    if (jet4::NativePath::encode(o.output) != o.output.toUtf8()) {
        err << "convodesk-db make: cannot write " << o.output
            << ": the name is not valid UTF-8; choose another name (files with such names can be read).\n";
        return kExitBadInput;
    }
    const QFileInfo output(o.output);
    if (output.exists() && !o.force) {
        err << "convodesk-db make: " << o.output << " already exists; use --force to replace it.\n";
        return kExitBadInput;
    }
    if (output.exists() && !output.isFile()) {
        err << "convodesk-db make: " << o.output << " is not a file.\n";
        return kExitBadInput;
    }
    try {
        const CsvTable graduates = CsvReader::readFile(o.graduates);
        const CsvTable programmes = CsvReader::readFile(o.programmes);
        const GraduateTables::Output tables = GraduateTables::build(graduates, programmes, o.graduateAsTable);
        jet4::writeDatabase(o.output, tables.tables, tables.queries);
        out << "Wrote " << o.output << ": " << tables.tables[0].rows.size() << " graduates, "
            << tables.tables[1].rows.size() << " programmes.\n";
        return kExitOk;
    } catch (const CsvError& e) {
        err << "convodesk-db make: " << e.message() << "\n";
        return kExitBadInput;
    } catch (const jet4::Error& e) {
        err << "convodesk-db make: " << e.message() << "\n";
        return e.kind() == jet4::Error::Kind::InvalidInput ? kExitBadInput : kExitFailure;
    }
}

} // namespace convodesk::dbtool
