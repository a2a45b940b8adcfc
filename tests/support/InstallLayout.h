#pragma once

#include "CommandRun.h"

#include <QStringList>
#include <QTemporaryDir>

namespace convodesk::testing {

// convodesk-db install, run in this process.
CommandRun install(const QStringList& args);
QByteArray bytes(const QString& path);
// Every name under root with its owner, group, mode and a digest of its content (or its
// link's target): equal snapshots mean nothing changed.
QStringList snapshot(const QString& root);
// The built convodesk-db.
QString tool();

// The package's layout in small: the program folder holds a link to the data folder's file.
// a.mdb (30 graduates, also in place) and b.mdb (50) are files to install.
class InstallLayout {
public:
    InstallLayout();
    QString path(const QString& name) const { return root_.filePath(name); }
    QString root() const { return root_.path(); }
    QString programFolder() const { return path(QStringLiteral("lib/convodesk")); }
    QString dataFile() const { return path(QStringLiteral("var/convodesk/Tassel.mdb")); }
    QString write(const QString& name, const QByteArray& content) const;

private:
    QTemporaryDir root_;
};

} // namespace convodesk::testing
