#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace convodesk::jet4 {

// File names as the system keeps them: bytes, usually but not always UTF-8. Qt decodes a
// name with bytes that are not UTF-8 into replacement characters, and such a name no longer
// opens. These functions keep every byte instead: a byte that is not part of valid UTF-8 is
// held as the character U+DC00 + byte (a lone low surrogate, which valid text never has) and
// written back as that byte, so decode and encode give the same bytes again.
class NativePath {
public:
    static QString decode(const QByteArray& bytes);
    static QByteArray encode(const QString& path);

    // path made absolute against the current folder, by text only (links are not resolved).
    static QString absolute(const QString& path);
    // The folder the running program's file is in, links resolved; Qt's own answer where the
    // system cannot tell.
    static QString programFolder();
    // The file named by a path, as the open(2) call of this system sees it.
    static bool isRegularFile(const QString& path);
    // Opens path for reading into file; empty on success, else the system's reason.
    static QString openForReading(QFile& file, const QString& path);
};

} // namespace convodesk::jet4
