#pragma once

#include <QStringList>
#include <QTextStream>

namespace convodesk::dbtool {

// convodesk-db query [--json] FILE QUERY: runs a query text through the desk's data layer and
// prints its rows (tab-separated display texts under a header line, or one JSON object a line).
class QueryCommand {
public:
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
    static QString helpText();
};

} // namespace convodesk::dbtool
