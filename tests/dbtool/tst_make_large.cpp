// A 100,000-graduate CSV made into a database: every value identical in both readers.
#include "convodesk-db/CsvReader.h"
#include "convodesk-db/GraduateTables.h"
#include "convodesk-db/MakeCommand.h"
#include "writer/ReferenceReaders.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk;
using namespace convodesk::dbtool;
using namespace convodesk::testing;

namespace {
constexpr int kGraduates = 100000;

QByteArray graduatesCsv() {
    const char* names[] = {
        "Nur'ain binti Ma'arof", "Tan Mei Ling (陈美玲)",       "Kavitha a/p Subramaniam (கவிதா)",
        "Chloé D'Silva",         "Muhammad Hafiz bin Abdullah", "Lim Chee Keong, Jr.",
        "\"Ah\" Chong"};
    QByteArray csv = "\xEF\xBB\xBFGraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\r\n";
    for (int i = 0; i < kGraduates; ++i) {
        QByteArray name = names[i % 7];
        if (name.contains(',') || name.contains('"'))
            name = '"' + name.replace("\"", "\"\"") + '"';
        const QByteArray phone = i % 13 == 0 ? QByteArray()
                                 : i == 4242 ? QByteArray("\"\"")
                                             : "01" + QByteArray::number(10000000 + i);
        const QByteArray queue = i % 17 == 0 ? QByteArray() : QByteArray::number(i % 5 == 0 ? -i : i * 21474);
        csv += "CV24D" + QByteArray::number(1000000 + i) + "," + name + ",9901" + QByteArray::number(i) +
               "-10-1234,D" + QByteArray::number(i % 12) + ",Faculty " + QByteArray::number(i % 5) + "," +
               phone + ",Attending," + (i % 3 ? "a" + QByteArray::number(i) + ".wav" : QByteArray()) + "," +
               queue + "\r\n";
    }
    return csv;
}
} // namespace

class MakeLargeTest : public QObject {
    Q_OBJECT

private slots:
    void hundredThousandGraduatesReadBackIdentically() {
        QTemporaryDir dir;
        const QString graduates = dir.filePath(QStringLiteral("graduates.csv"));
        const QString programmes = dir.filePath(QStringLiteral("programmes.csv"));
        const QString output = dir.filePath(QStringLiteral("Tassel.mdb"));
        QFile g(graduates), p(programmes);
        QVERIFY(g.open(QIODevice::WriteOnly) && p.open(QIODevice::WriteOnly));
        g.write(graduatesCsv());
        p.write("Program_Code,Program_Desc,Program_Faculty\nD1,Diploma One,Faculty 1\n");
        g.close();
        p.close();

        QString out, err;
        QTextStream o(&out), e(&err);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(MakeCommand::run({QStringLiteral("--graduates"), graduates, QStringLiteral("--programmes"),
                                   programmes, QStringLiteral("--output"), output},
                                  o, e),
                 0);
        qInfo("make of %d graduates: %lld ms, %lld bytes", kGraduates, timer.elapsed(),
              QFileInfo(output).size());

        const CsvTable csv = CsvReader::readFile(graduates);
        QCOMPARE(csv.rows.size(), std::size_t(kGraduates));
        const CsvTable exported = ReferenceReaders::mdbExport(output, QStringLiteral("Graduates"));
        QCOMPARE(exported.rows.size(), csv.rows.size());
        const QJsonArray rows = ReferenceReaders::mdbReaderDump(output, {QStringLiteral("Graduates")})
                                    .value(QStringLiteral("data"))
                                    .toObject()
                                    .value(QStringLiteral("Graduates"))
                                    .toObject()
                                    .value(QStringLiteral("rows"))
                                    .toArray();
        QCOMPARE(rows.size(), static_cast<qsizetype>(kGraduates));
        for (std::size_t r = 0; r < csv.rows.size(); ++r) {
            const QJsonArray fromReader = rows[static_cast<qsizetype>(r)].toArray();
            for (std::size_t c = 0; c < 9; ++c) {
                const CsvTable::Field& expected = csv.rows[r][c];
                const bool queue = c == 8;
                // libmdb reports "" as Null; mdb-reader keeps the two apart.
                if (exported.rows[r][c] != (expected && expected->isEmpty() ? std::nullopt : expected))
                    QFAIL(qPrintable(
                        QStringLiteral("mdb-export row %1 column %2 differs").arg(r + 1).arg(c + 1)));
                const QJsonValue want = !expected ? QJsonValue(QJsonValue::Null)
                                        : queue   ? QJsonValue(expected->toDouble())
                                                  : QJsonValue(*expected);
                if (fromReader[static_cast<qsizetype>(c)] != want)
                    QFAIL(qPrintable(
                        QStringLiteral("mdb-reader row %1 column %2 differs").arg(r + 1).arg(c + 1)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(MakeLargeTest)
#include "tst_make_large.moc"
