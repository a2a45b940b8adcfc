#include "MemoryCatalog.h"

namespace convodesk::testing {
namespace {

class CountingSource : public data::query::RowSource {
public:
    CountingSource(const data::query::RowSet& rows, int& counter) : rows_(rows), counter_(counter) {}
    const std::vector<data::query::ColumnInfo>& columns() const override { return rows_.columns; }
    bool next() override { return ++current_ < static_cast<long long>(rows_.rows.size()); }
    jet4::Value value(int column) override {
        ++counter_;
        return rows_.rows[current_][column];
    }

private:
    const data::query::RowSet& rows_;
    int& counter_;
    long long current_ = -1;
};

} // namespace

void MemoryCatalog::addTable(const QString& name, const QStringList& columns,
                             std::vector<std::vector<jet4::Value>> rows) {
    data::query::RowSet set;
    for (const QString& column : columns)
        set.columns.push_back({name, column});
    set.rows = std::move(rows);
    tables_[name.toCaseFolded()] = std::move(set);
}

std::unique_ptr<data::query::RowSource> MemoryCatalog::openTable(const QString& name) {
    const auto it = tables_.constFind(name.toCaseFolded());
    if (it == tables_.constEnd())
        return nullptr;
    return std::make_unique<CountingSource>(*it, valuesRead);
}

std::optional<jet4::QueryDef> MemoryCatalog::findQuery(const QString& name) {
    const auto it = queries_.constFind(name.toCaseFolded());
    if (it == queries_.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace convodesk::testing
