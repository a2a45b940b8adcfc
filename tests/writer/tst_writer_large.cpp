// Large tables: 100,000 rows, and memo pages spread between data pages, both of which need
// the reference form of the usage map.
#include "support/RoundTripCheck.h"
#include "support/TempDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace convodesk;
using namespace convodesk::testing;
using jet4::ColumnType;
using jet4::Value;
using jet4::WriterTable;

namespace {
int bitmapPages(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    int count = 0;
    for (qsizetype at = 4096; at < bytes.size(); at += 4096)
        count += bytes[at] == 0x05 ? 1 : 0;
    return count;
}
} // namespace

class WriterLargeTest : public QObject {
    Q_OBJECT

private slots:
    void hundredThousandRows() {
        WriterTable t;
        t.name = QStringLiteral("Graduates");
        t.columns = {{QStringLiteral("GraduateID"), ColumnType::Text, 12},
                     {QStringLiteral("Name"), ColumnType::Text, 255},
                     {QStringLiteral("Queue"), ColumnType::Long, 0},
                     {QStringLiteral("Present"), ColumnType::Boolean, 0}};
        for (int i = 0; i < 100000; ++i)
            t.rows.push_back({Value::text(QStringLiteral("CV24DIT%1").arg(i, 5, 10, QLatin1Char('0'))),
                              Value::text(i % 3 ? QStringLiteral("Nur'ain binti Ma'arof %1").arg(i)
                                                : QStringLiteral("陈美玲 %1").arg(i)),
                              i % 11 ? Value::integer(i - 50000) : Value::null(), Value::boolean(i % 2)});
        TempDatabase db;
        QElapsedTimer timer;
        timer.start();
        const QString file = db.write({t});
        qInfo("wrote 100,000 rows in %lld ms, %lld bytes", timer.elapsed(), QFile(file).size());
        QVERIFY(bitmapPages(file) > 0);
        QVERIFY(RoundTripCheck::matchesBoth(file, t));
    }

    void memoPagesBetweenDataPages() {
        WriterTable t;
        t.name = QStringLiteral("Notes");
        t.columns = {{QStringLiteral("Id"), ColumnType::Long, 0},
                     {QStringLiteral("Body"), ColumnType::Memo, 0}};
        for (int i = 0; i < 1200; ++i)
            t.rows.push_back({Value::integer(i), Value::text(QString(1500 + i % 700, QChar('a' + i % 26)))});
        TempDatabase db;
        const QString file = db.write({t});
        QVERIFY(bitmapPages(file) > 0);
        QVERIFY(RoundTripCheck::matchesBoth(file, t));
    }
};

QTEST_GUILESS_MAIN(WriterLargeTest)
#include "tst_writer_large.moc"
