#include "QueryCommand.h"

#include "ToolInfo.h"
#include "data/DataError.h"
#include "data/DisplayText.h"
#include "data/Recordset.h"
#include "data/jet4/read/NativePath.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace convodesk::dbtool {
namespace {

// Keeps a tab or line break inside a value from breaking the table's layout.
QString tableCell(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString jsonLine(const data::Recordset& rs, const QStringList& names) {
    // Keys are written by hand to keep the fields in source order.
    QString line = QStringLiteral("{");
    for (int i = 0; i < names.size(); ++i) {
        const jet4::Value value = rs.field(i); // each column's own value, also for repeated names
        auto quoted = [](const QString& text) {
            const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
            return QString::fromUtf8(array.mid(1, array.size() - 2));
        };
        if (i > 0)
            line += QLatin1Char(',');
        line += quoted(names[i]) + QLatin1Char(':') +
                (value.isNull() ? QStringLiteral("null") : quoted(data::displayText(value)));
    }
    return line + QLatin1Char('}');
}

} // namespace

QString QueryCommand::helpText() {
    return QStringLiteral(
        "convodesk-db query [--json] FILE QUERY\n"
        "  Runs QUERY (e.g. \"select * from Graduate where GraduateID = '200312345678'\") on FILE\n"
        "  and prints a header line and one tab-separated line per row (Null as empty);\n"
        "  with --json one JSON object per row. Exit 0, or 2 with the error on standard error.\n");
}

int QueryCommand::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList rest = args;
    const bool json = rest.removeAll(QStringLiteral("--json")) > 0;
    if (rest.contains(QStringLiteral("--help")) || rest.contains(QStringLiteral("-h"))) {
        out << helpText();
        return kExitOk;
    }
    if (rest.size() != 2) {
        err << "convodesk-db query: expected FILE and QUERY.\n" << helpText();
        return kExitBadInput;
    }
    const QString connectionText =
        QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source=") + jet4::NativePath::absolute(rest[0]);
    try {
        data::Recordset rs;
        rs.openQuery(rest[1], connectionText);
        const QStringList names = rs.fieldNames();
        if (!json) {
            QStringList header;
            for (const QString& name : names)
                header << tableCell(name);
            out << header.join(QLatin1Char('\t')) << '\n';
        }
        for (; !rs.eof(); rs.moveNext()) {
            if (json) {
                out << jsonLine(rs, names) << '\n';
                continue;
            }
            QStringList cells;
            for (int i = 0; i < names.size(); ++i)
                cells << tableCell(data::displayText(rs.field(i)));
            out << cells.join(QLatin1Char('\t')) << '\n';
        }
        out.flush();
        return kExitOk;
    } catch (const data::DataError& error) {
        out.flush();
        err << "convodesk-db query: " << error.description() << " (error " << error.number() << ")\n";
        return kExitBadInput;
    }
}

} // namespace convodesk::dbtool
