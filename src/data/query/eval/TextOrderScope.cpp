#include "TextOrderScope.h"

#include "data/DataError.h"

namespace convodesk::data::query {
namespace {

thread_local const TextOrderScope* current = nullptr;

} // namespace

TextOrderScope::TextOrderScope(jet4::SortOrder order, QString fileName)
    : outer_(current), order_(order), fileName_(std::move(fileName)) {
    current = this;
}

TextOrderScope::~TextOrderScope() {
    current = outer_;
}

void TextOrderScope::checkTextsCanBeOrdered() {
    if (!current || current->order_.isGeneral())
        return;
    throw DataError(
        DataError::UnsupportedQuery,
        QStringLiteral("'%1' uses the sort order %2; texts can only be put in order (ORDER BY, Min, "
                       "Max, <, >, Between) in files with the General sort order.")
            .arg(current->fileName_, current->order_.describe()));
}

} // namespace convodesk::data::query
