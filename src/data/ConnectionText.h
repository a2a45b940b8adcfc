#pragma once

#include <QString>

namespace convodesk::data {

// "Provider=Microsoft.JET.OLEDB.4.0;Data Source= " + folder + "\Tassel.mdb", no separator check.
QString buildConnectionText(const QString& programFolder);
// "Provider=Microsoft.JET.OLEDB.4.0;Data Source=" + file, as convodesk-db opens a file.
QString fileConnectionText(const QString& file);
// The program's folder (its own file's folder, links resolved, any bytes kept) joined as above.
QString programConnectionText();

// The file a connection text names, ready to open on this platform (backslashes read as
// separators where the separator is '/'). Throws DataError on a bad text or provider.
QString dataSourcePath(const QString& connectionText);

} // namespace convodesk::data
