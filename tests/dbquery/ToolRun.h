#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace convodesk::dbtool::test {

// What one convodesk-db command said and returned.
struct Run {
    int code = 0;
    QString out;
    QString err;
};

template <typename Command> Run run(const QStringList& args) {
    Run result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.code = Command::run(args, out, err);
    out.flush();
    err.flush();
    return result;
}

} // namespace convodesk::dbtool::test
