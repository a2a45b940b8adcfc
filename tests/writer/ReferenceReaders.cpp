#include "ReferenceReaders.h"

#include "convodesk-db/CsvReader.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <stdexcept>

namespace convodesk::testing {

namespace {
constexpr int kTimeoutMs = 600000;

QString require(const ReferenceReaders::Result& r, const QString& what) {
    if (r.exitCode != 0)
        throw std::runtime_error(
            QStringLiteral("%1 failed (%2): %3").arg(what).arg(r.exitCode).arg(r.err).toStdString());
    return r.out;
}
} // namespace

ReferenceReaders::Result ReferenceReaders::run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Result r;
    if (!p.waitForStarted()) {
        r.err = QStringLiteral("cannot start %1").arg(program);
        return r;
    }
    if (!p.waitForFinished(kTimeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 timed out").arg(program);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

dbtool::CsvTable ReferenceReaders::mdbExport(const QString& file, const QString& table) {
    const QString out =
        require(run(QStringLiteral("mdb-export"), {QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"),
                                                   QStringLiteral("-b"), QStringLiteral("hex"), file, table}),
                QStringLiteral("mdb-export ") + table);
    return dbtool::CsvReader::parse(out.toUtf8(), QStringLiteral("mdb-export"));
}

QStringList ReferenceReaders::mdbTables(const QString& file, bool withSystem) {
    QStringList args{QStringLiteral("-1")};
    if (withSystem)
        args << QStringLiteral("-S");
    args << file;
    return require(run(QStringLiteral("mdb-tables"), args), QStringLiteral("mdb-tables"))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ReferenceReaders::mdbQueryNames(const QString& file) {
    QStringList names;
    const QString out = require(run(QStringLiteral("mdb-queries"), {QStringLiteral("-L"), file}),
                                QStringLiteral("mdb-queries -L"));
    for (const QString& n : out.split(QRegularExpression(QStringLiteral("[\\n ]")), Qt::SkipEmptyParts))
        names << n;
    return names;
}

QString ReferenceReaders::mdbQuerySql(const QString& file, const QString& query) {
    return require(run(QStringLiteral("mdb-queries"), {file, query}), QStringLiteral("mdb-queries"))
        .trimmed();
}

QString ReferenceReaders::mdbSchema(const QString& file) {
    return require(run(QStringLiteral("mdb-schema"), {file}), QStringLiteral("mdb-schema"));
}

QString ReferenceReaders::nodeFolder() {
    return QDir(qEnvironmentVariable("CONVODESK_SOURCE_DIR")).filePath(QStringLiteral("tests/node"));
}

QJsonObject ReferenceReaders::mdbReaderDump(const QString& file, const QStringList& tables) {
    const QString folder = nodeFolder();
    if (!QDir(folder).exists(QStringLiteral("node_modules/mdb-reader")))
        throw std::runtime_error(
            QStringLiteral("mdb-reader is not installed: run 'npm ci' in %1").arg(folder).toStdString());
    const QString out =
        require(run(QStringLiteral("node"), QStringList{folder + QStringLiteral("/dump.mjs"), file} + tables),
                QStringLiteral("node dump.mjs"));
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

} // namespace convodesk::testing
