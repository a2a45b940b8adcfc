#pragma once

#include "data/query/run/Catalog.h"

#include <memory>

namespace convodesk::jet4 {
class Database;
}

namespace convodesk::data {

// The tables and stored queries of an open data file for the query engine.
class DatabaseCatalog : public query::Catalog {
public:
    explicit DatabaseCatalog(std::shared_ptr<jet4::Database> database) : database_(std::move(database)) {}
    QString fileName() const override;
    std::unique_ptr<query::RowSource> openTable(const QString& name) override;
    std::unique_ptr<query::RowSource> openTableSeek(const QString& name, const QString& column,
                                                    const jet4::Value& value) override;
    std::unique_ptr<query::RowSource> openTableRows(const QString& name,
                                                    std::vector<std::uint32_t>&& rows) override;
    std::optional<jet4::QueryDef> findQuery(const QString& name) override;
    jet4::SortOrder textSortOrder() const override;

private:
    std::shared_ptr<jet4::Database> database_;
};

} // namespace convodesk::data
