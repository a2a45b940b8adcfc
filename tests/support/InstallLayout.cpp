#include "InstallLayout.h"

#include "DeskFile.h"
#include "convodesk-db/InstallCommand.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <sys/stat.h>

namespace convodesk::testing {

CommandRun install(const QStringList& args) {
    return runCommand<dbtool::InstallCommand>(args);
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList snapshot(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        struct stat st {};
        ::lstat(QFile::encodeName(info.filePath()).constData(), &st);
        const QString digest =
            info.isSymLink()
                ? QStringLiteral("-> ") + info.symLinkTarget()
                : QString::fromLatin1(
                      QCryptographicHash::hash(bytes(info.filePath()), QCryptographicHash::Sha1).toHex());
        entries << QStringLiteral("%1 %2:%3 %4 %5")
                       .arg(info.filePath())
                       .arg(st.st_uid)
                       .arg(st.st_gid)
                       .arg(st.st_mode, 0, 8)
                       .arg(digest);
    }
    entries.sort();
    return entries;
}

QString tool() {
    return qEnvironmentVariable("CONVODESK_BINARY_DIR") + QStringLiteral("/convodesk-db");
}

InstallLayout::InstallLayout() {
    QDir(root_.path()).mkpath(QStringLiteral("lib/convodesk"));
    QDir(root_.path()).mkpath(QStringLiteral("var/convodesk"));
    DeskFile::made(30).write(path(QStringLiteral("a.mdb")));
    DeskFile::made(50).write(path(QStringLiteral("b.mdb")));
    QFile::copy(path(QStringLiteral("a.mdb")), dataFile());
    QFile::link(dataFile(), programFolder() + QStringLiteral("/Tassel.mdb"));
}

QString InstallLayout::write(const QString& name, const QByteArray& content) const {
    QFile f(path(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return f.fileName();
}

} // namespace convodesk::testing
