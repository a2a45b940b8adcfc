#pragma once

#include "data/query/run/Catalog.h"

#include <QMap>

namespace convodesk::testing {

// Tables and stored queries held in memory, for testing the query engine without a file.
class MemoryCatalog : public data::query::Catalog {
public:
    void addTable(const QString& name, const QStringList& columns,
                  std::vector<std::vector<jet4::Value>> rows);
    void addQuery(const jet4::QueryDef& def) { queries_.insert(def.name.toCaseFolded(), def); }

    QString fileName() const override { return QStringLiteral("memory.mdb"); }
    std::unique_ptr<data::query::RowSource> openTable(const QString& name) override;
    std::optional<jet4::QueryDef> findQuery(const QString& name) override;

    // Values read from tables so far (to check that conditions decode only what they need).
    int valuesRead = 0;

private:
    QMap<QString, data::query::RowSet> tables_;
    QMap<QString, jet4::QueryDef> queries_;
};

} // namespace convodesk::testing
