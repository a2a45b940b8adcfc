#include "RowOrdering.h"

#include "data/query/eval/QueryGovernor.h"
#include "data/query/eval/ValueCompare.h"

#include <QSet>
#include <algorithm>
#include <numeric>

namespace convodesk::data::query {

void sortRows(std::vector<std::vector<jet4::Value>>& rows,
              const std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>>& keys) {
    if (keys.empty() || rows.size() < 2)
        return;
    // The keys of row i are keyValues[i * width ...]: one array, not one small vector a row.
    std::vector<jet4::Value> keyValues;
    keyValues.reserve(rows.size() * keys.size());
    std::vector<bool> descending;
    descending.reserve(keys.size());
    for (const auto& key : keys)
        descending.push_back(key.second);
    for (const auto& values : rows) {
        VectorRow row(values);
        for (const auto& key : keys)
            keyValues.push_back(key.first->evaluate(row));
    }
    const std::vector<std::size_t> order = sortedOrder(std::move(keyValues), descending);
    if (std::is_sorted(order.begin(), order.end()))
        return;
    std::vector<std::vector<jet4::Value>> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(rows[index]));
    rows.swap(sorted);
}

std::vector<std::size_t> sortedOrder(std::vector<jet4::Value> keyValues,
                                     const std::vector<bool>& descending) {
    const std::size_t width = descending.size();
    std::vector<std::size_t> order(width == 0 ? 0 : keyValues.size() / width);
    std::iota(order.begin(), order.end(), 0);
    if (width == 0 || order.size() < 2)
        return order;
    // Texts are ordered by their keys in Jet's order, built once a value (no room is taken
    // when no key is a text, as with a number to order by).
    std::vector<QByteArray> textKeys;
    for (std::size_t i = 0; i < keyValues.size(); ++i)
        if (keyValues[i].kind() == jet4::Value::Kind::Text) {
            textKeys.resize(keyValues.size());
            textKeys[i] = textOrderKey(keyValues[i].asText());
        }
    const auto compare = [&](std::size_t x, std::size_t y) {
        if (keyValues[x].kind() == jet4::Value::Kind::Text && keyValues[y].kind() == jet4::Value::Kind::Text)
            return textKeys[x] < textKeys[y] ? -1 : (textKeys[y] < textKeys[x] ? 1 : 0);
        return compareForOrder(keyValues[x], keyValues[y]);
    };
    const auto before = [&](std::size_t a, std::size_t b) {
        QueryGovernor::tick();
        for (std::size_t k = 0; k < width; ++k) {
            const int c = compare(a * width + k, b * width + k);
            if (c != 0)
                return descending[k] ? c > 0 : c < 0;
        }
        return false;
    };
    // Lists are often stored in the order asked for already; then nothing moves.
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::stable_sort(order.begin(), order.end(), before);
    return order;
}

void removeDuplicateRows(std::vector<std::vector<jet4::Value>>& rows) {
    QSet<QString> seen;
    std::vector<std::vector<jet4::Value>> kept;
    for (auto& row : rows) {
        QueryGovernor::tick();
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
