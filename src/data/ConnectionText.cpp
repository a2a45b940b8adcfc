#include "ConnectionText.h"

#include "DataError.h"
#include "DeskSchema.h"
#include "data/jet4/read/NativePath.h"

#include <QDir>

namespace convodesk::data {
namespace {
constexpr FixedText jetProvider{"Microsoft.JET.OLEDB.4.0"};
constexpr auto providerPart = "Provider=" + jetProvider + ";";
} // namespace

QString buildConnectionText(const QString& programFolder) {
    static constexpr auto source = providerPart + "Data Source= ";
    static constexpr auto fileInFolder = "\\" + desk::kDatabaseFile;
    return source + programFolder + fileInFolder;
}

QString fileConnectionText(const QString& file) {
    static constexpr auto source = providerPart + "Data Source=";
    return source + file;
}

QString programConnectionText() {
    return buildConnectionText(jet4::NativePath::programFolder());
}

QString dataSourcePath(const QString& connectionText) {
    QString provider;
    QString source;
    bool haveSource = false;
    for (const QString& part : connectionText.split(QLatin1Char(';'))) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (part.trimmed().isEmpty())
            continue;
        if (equals < 0)
            throw DataError(DataError::BadConnectionText,
                            QStringLiteral("The connection text has a part without '=': '%1'.").arg(part));
        const QString key = part.left(equals).trimmed();
        QString value = part.mid(equals + 1);
        while (!value.isEmpty() && value.front().isSpace())
            value.remove(0, 1);
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) {
            provider = value.trimmed();
        } else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) {
            source = value;
            haveSource = true;
        }
    }
    if (provider.compare(jetProvider.view(), Qt::CaseInsensitive) != 0)
        throw DataError(DataError::ProviderNotFound,
                        provider.isEmpty() ? QStringLiteral("The connection text names no provider.")
                                           : QStringLiteral("Provider cannot be found: '%1'.").arg(provider));
    if (!haveSource || source.isEmpty())
        throw DataError(DataError::BadConnectionText,
                        QStringLiteral("The connection text names no data source."));
    if (QDir::separator() == QLatin1Char('/'))
        source.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return source;
}

} // namespace convodesk::data
