#include "Writer.h"

#include "DatabaseImage.h"
#include "LongValueWriter.h"
#include "PageStore.h"
#include "RowEncoder.h"
#include "TableLayout.h"
#include "WriterInputCheck.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace convodesk::jet4 {

namespace {
// Reproducible builds set SOURCE_DATE_EPOCH: a file written then (the packaged demo) carries
// that time instead of the current one.
double nowInJetDays() {
    bool fixed = false;
    const qint64 epochSeconds = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&fixed);
    const QDateTime now =
        fixed ? QDateTime::fromSecsSinceEpoch(epochSeconds, Qt::UTC) : QDateTime::currentDateTime();
    const QDate epoch(format::kDateEpochYear, format::kDateEpochMonth, format::kDateEpochDay);
    return static_cast<double>(epoch.daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}
// Writes all of `bytes`, going on after a short write: the write after one that the disk
// could only partly take fails with the system's reason ("No space left on device").
bool writeWhole(QSaveFile& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

int maxRowBytes() {
    return format::kMaxRowSize;
}

int storedRowBytes(const std::vector<WriterColumn>& columns, const std::vector<Value>& row) {
    const TableLayout layout = TableLayout::fromColumns(columns);
    PageStore unused;
    LongValueWriter longValues(unused);
    return RowEncoder(layout, QString(), longValues).measure(row, 1);
}

void writeDatabase(const QString& path, const std::vector<WriterTable>& tables,
                   const std::vector<QueryDef>& queries) {
    WriterInputCheck::check(tables, queries);
    PageStore pages = DatabaseImage::build(tables, queries, nowInJetDays());

    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        throw Error(Error::Kind::Io, QStringLiteral("Cannot write %1: the folder does not exist.").arg(path));
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that each write reaches the system here and a failure (a full disk)
    // comes back from it with its reason, instead of a short write lost in a buffer's flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(Error::Kind::Io, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    bool written = true;
    for (std::uint32_t n = 0; n < pages.pageCount() && written; ++n)
        written = writeWhole(file, pages.page(n));
    if (!written || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Error(Error::Kind::Io, QStringLiteral("Cannot write %1: %2").arg(path, reason));
    }
}

} // namespace convodesk::jet4
