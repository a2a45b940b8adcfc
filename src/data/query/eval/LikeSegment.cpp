#include "LikeSegment.h"

#include "QueryGovernor.h"

#include <algorithm>

namespace convodesk::data::query {
namespace {

// Up to this length a segment with wildcards is tried at each place.
constexpr std::size_t kShortSegment = 32;
// The longest the transform takes (2^23 places for twice the segment).
constexpr std::size_t kLongestTransformed = std::size_t(1) << 22;

} // namespace

LikeSegment::LikeSegment(std::vector<char32_t> characters)
    : plain_(std::move(characters)), hasWildcards_(std::find(plain_.sought().begin(), plain_.sought().end(),
                                                             anyOne) != plain_.sought().end()) {
    if (hasWildcards_ && size() > kShortSegment && size() <= kLongestTransformed)
        long_ = std::make_shared<const WildcardSearch>(plain_.sought(), anyOne);
}

bool LikeSegment::standsAt(const char32_t* text) const {
    const std::vector<char32_t>& segment = characters();
    for (std::size_t k = 0; k < segment.size(); ++k)
        if (segment[k] != anyOne && segment[k] != text[k])
            return false;
    return true;
}

std::size_t LikeSegment::find(const char32_t* text, std::size_t from, std::size_t end) const {
    const std::size_t length = size();
    if (from > end || end - from < length)
        return none;
    if (!hasWildcards_)
        return plain_.find([text](std::size_t i) { return text[i]; }, from, end);
    if (long_)
        return long_->find(text, from, end, [this](const char32_t* at) { return standsAt(at); });
    // Short segments cost little at each place; a segment too long for the transform may cost
    // much, so the query's deadline is looked at as it goes.
    for (std::size_t at = from; at + length <= end; ++at) {
        if (length > kShortSegment)
            QueryGovernor::tick();
        if (standsAt(text + at))
            return at;
    }
    return none;
}

} // namespace convodesk::data::query
