#include "MemoryCatalog.h"

#include "data/jet4/TextSortKey.h"
#include "data/query/eval/ValueCompare.h"

namespace convodesk::testing {
namespace {

class CountingSource : public data::query::RowSource {
public:
    CountingSource(const data::query::RowSet& rows, int& counter) : rows_(rows), counter_(counter) {}
    // Rows of its own (those a seek found).
    struct Owned {};
    CountingSource(Owned, data::query::RowSet rows, int& counter)
        : owned_(std::move(rows)), rows_(owned_), counter_(counter) {}
    const std::vector<data::query::ColumnInfo>& columns() const override { return rows_.columns; }
    bool next() override { return ++current_ < static_cast<long long>(rows_.rows.size()); }
    jet4::Value value(int column) override {
        ++counter_;
        return rows_.rows[current_][column];
    }

private:
    data::query::RowSet owned_;
    const data::query::RowSet& rows_;
    int& counter_;
    long long current_ = -1;
};

// What a text index compares when it seeks: the key's letters, before accents and
// punctuation; other values compare as a condition does.
bool sameIndexEntry(const jet4::Value& stored, const jet4::Value& sought) {
    if (stored.kind() == jet4::Value::Kind::Text && sought.kind() == jet4::Value::Kind::Text) {
        const auto letters = [](const QString& text) {
            const QByteArray key = jet4::TextSortKey::build(text);
            return key.left(key.indexOf('\x01', 1));
        };
        return letters(stored.asText()) == letters(sought.asText());
    }
    const auto order = data::query::compareValues(stored, sought);
    return order && *order == 0;
}

} // namespace

void MemoryCatalog::addIndex(const QString& table, const QString& column) {
    indexes_.insert(table.toCaseFolded(), column.toCaseFolded());
}

std::unique_ptr<data::query::RowSource>
MemoryCatalog::openTableSeek(const QString& table, const QString& column, const jet4::Value& value) {
    const QString name = table.toCaseFolded();
    const auto it = tables_.constFind(name);
    if (it == tables_.constEnd() || !indexes_.contains(name, column.toCaseFolded()))
        return nullptr;
    int c = 0;
    while (it->columns[c].name.compare(column, Qt::CaseInsensitive) != 0)
        ++c;
    ++seeks;
    data::query::RowSet found;
    found.columns = it->columns;
    for (const auto& row : it->rows)
        if (sameIndexEntry(row[c], value))
            found.rows.push_back(row);
    return std::make_unique<CountingSource>(CountingSource::Owned{}, std::move(found), valuesRead);
}

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
