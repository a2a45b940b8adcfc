#include "RowOrdering.h"

#include "ValueCompare.h"

#include <QSet>
#include <algorithm>
#include <numeric>

namespace convodesk::data::query {

void sortRows(std::vector<std::vector<jet4::Value>>& rows,
              const std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>>& keys) {
    if (keys.empty() || rows.size() < 2)
        return;
    std::vector<std::vector<jet4::Value>> keyValues(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        VectorRow row(rows[i]);
        for (const auto& key : keys)
            keyValues[i].push_back(key.first->evaluate(row));
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const int c = compareForOrder(keyValues[a][k], keyValues[b][k]);
            if (c != 0)
                return keys[k].second ? c > 0 : c < 0;
        }
        return false;
    });
    std::vector<std::vector<jet4::Value>> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(rows[index]));
    rows.swap(sorted);
}

void removeDuplicateRows(std::vector<std::vector<jet4::Value>>& rows) {
    QSet<QString> seen;
    std::vector<std::vector<jet4::Value>> kept;
    for (auto& row : rows) {
        QString key;
        for (const jet4::Value& value : row)
            key += matchKey(value) + QChar(0x1F);
        if (!seen.contains(key)) {
            seen.insert(key);
            kept.push_back(std::move(row));
        }
    }
    rows.swap(kept);
}

} // namespace convodesk::data::query
