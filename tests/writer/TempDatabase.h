#pragma once

#include "data/jet4/write/Writer.h"

#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace convodesk::testing {

// A scratch folder with helpers to write a database into it.
class TempDatabase {
public:
    TempDatabase();
    QString path(const QString& name = QStringLiteral("test.mdb")) const;
    // Writes the tables and queries to path(name) and returns that path.
    QString write(const std::vector<jet4::WriterTable>& tables,
                  const std::vector<jet4::QueryDef>& queries = {},
                  const QString& name = QStringLiteral("test.mdb")) const;
    QStringList files() const;

private:
    QTemporaryDir dir_;
};

} // namespace convodesk::testing
