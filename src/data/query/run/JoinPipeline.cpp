#include "JoinPipeline.h"

#include "data/query/eval/QueryGovernor.h"
#include "data/query/eval/ValueCompare.h"

namespace convodesk::data::query {
namespace {

// Equal for rows a join treats as equal; empty when a column is Null (Null never matches).
QString keyOf(RowValues& row, const std::vector<int>& columns) {
    if (columns.empty()) // a join on no field: every row matches every row
        return QStringLiteral("*");
    if (columns.size() == 1)
        return matchKey(row.value(columns.front()));
    QString key;
    for (int column : columns) {
        const QString part = matchKey(row.value(column));
        if (part.isEmpty())
            return {};
        key += part + QChar(0x1F);
    }
    return key;
}

} // namespace

JoinPipeline::JoinPipeline(const std::vector<int>& offsets, int width, std::vector<JoinStep> steps,
                           const std::vector<RowSet>& rows, const BoundExpr* condition,
                           std::vector<bool> used)
    : steps_(std::move(steps)), rows_(rows), condition_(condition), used_(std::move(used)),
      row_(offsets, width), matched_(offsets.size(), -1) {
    for (const JoinStep& step : steps_) {
        const auto& added = rows_[step.added].rows;
        Probe probe;
        probe.matched.assign(added.size(), false);
        for (std::size_t i = 0; i < added.size(); ++i) {
            QueryGovernor::tick();
            VectorRow values(added[i]);
            const QString key = keyOf(values, step.newColumns);
            if (!key.isEmpty())
                probe.index[key].push_back(static_cast<int>(i));
        }
        probes_.push_back(std::move(probe));
    }
}

std::vector<std::vector<jet4::Value>> JoinPipeline::run(RowSource& first) {
    result_.clear();
    run(first, Sink());
    return std::move(result_);
}

void JoinPipeline::run(RowSource& first, const Sink& sink) {
    sink_ = sink ? &sink : nullptr;
    row_.clear();
    std::fill(matched_.begin(), matched_.end(), -1);
    while (first.next()) {
        row_.setFirst(&first);
        expand(0);
    }
    for (std::size_t s = 0; s < steps_.size(); ++s) {
        if (!steps_[s].keepNew)
            continue;
        const auto& added = rows_[steps_[s].added].rows;
        for (std::size_t i = 0; i < added.size(); ++i) {
            if (probes_[s].matched[i])
                continue;
            row_.clear();
            std::fill(matched_.begin(), matched_.end(), -1);
            row_.setRow(steps_[s].added, &added[i]);
            matched_[steps_[s].added] = static_cast<int>(i);
            expand(s + 1);
        }
    }
    sink_ = nullptr;
}

void JoinPipeline::expand(std::size_t step) {
    QueryGovernor::tick();
    if (step == steps_.size()) {
        if (condition_ && !condition_->passes(row_))
            return;
        if (sink_)
            (*sink_)(row_, matched_);
        else
            result_.push_back(row_.build(used_));
        return;
    }
    const JoinStep& join = steps_[step];
    const std::vector<int>* found = matches(step);
    if (!found) {
        if (join.keepOld) {
            row_.setRow(join.added, nullptr);
            matched_[join.added] = -1;
            expand(step + 1);
        }
        return;
    }
    Probe& probe = probes_[step];
    const auto& added = rows_[join.added].rows;
    for (int match : *found) {
        probe.matched[match] = true;
        row_.setRow(join.added, &added[match]);
        matched_[join.added] = match;
        expand(step + 1);
    }
    row_.setRow(join.added, nullptr);
    matched_[join.added] = -1;
}

const std::vector<int>* JoinPipeline::matches(std::size_t step) {
    const QString key = keyOf(row_, steps_[step].oldColumns);
    if (key.isEmpty())
        return nullptr;
    const auto it = probes_[step].index.constFind(key);
    return it == probes_[step].index.constEnd() ? nullptr : &*it;
}

} // namespace convodesk::data::query
