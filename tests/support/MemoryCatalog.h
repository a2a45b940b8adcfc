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
    // An index on the column: a seek gives the rows whose value has the sought one's index key
    // (for a text, its letters: accents and punctuation aside), as a file's index does.
    void addIndex(const QString& table, const QString& column);
    std::unique_ptr<data::query::RowSource> openTableSeek(const QString& table, const QString& column,
                                                          const jet4::Value& value) override;

    // Values read from tables so far (to check that conditions decode only what they need).
    int valuesRead = 0;
    // Seeks answered so far.
    int seeks = 0;

private:
    QMap<QString, data::query::RowSet> tables_;
    QMap<QString, jet4::QueryDef> queries_;
    QMultiMap<QString, QString> indexes_;
};

} // namespace convodesk::testing
