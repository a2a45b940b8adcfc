#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace convodesk::dbtool {

// A CSV file read into memory. A field is nullopt when it was an unquoted empty field.
struct CsvTable {
    using Field = std::optional<QString>;
    QString fileName; // as given, for messages
    QStringList header;
    std::vector<std::vector<Field>> rows;
    std::vector<int> rowLines; // line on which each row starts (1-based)

    // Index of the header column with this name (letter case and surrounding spaces ignored); -1 if none.
    int columnIndex(const QString& name) const;
};

} // namespace convodesk::dbtool
