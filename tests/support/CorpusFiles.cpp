#include "CorpusFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace convodesk::testing {

QString corpusFolder() {
    return qEnvironmentVariable("CONVODESK_CORPUS_DIR");
}

QString corpusPath(const QString& relative) {
    return QDir(corpusFolder()).filePath(relative);
}

QString corpusProblem(const QString& relative) {
    if (corpusFolder().isEmpty())
        return QStringLiteral("CONVODESK_CORPUS_DIR is not set (CTest sets it to tests/corpus)");
    const QString path = corpusPath(relative);
    return QFileInfo::exists(path) ? QString() : QStringLiteral("corpus file missing: ") + path;
}

QString corpusCopy(const QString& relative, const QString& folder) {
    QString target = QDir(folder).filePath(QFileInfo(relative).fileName());
    QFile::remove(target);
    if (!QFile::copy(corpusPath(relative), target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

} // namespace convodesk::testing
