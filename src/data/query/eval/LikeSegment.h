#pragma once

#include "KnuthMorrisPratt.h"
#include "WildcardSearch.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace convodesk::data::query {

// The characters of a LIKE pattern between two runs, case-folded, with `anyOne` for a place
// that takes any one character. Finding it costs about the length of the text searched, plus
// its own: a plain one by a Knuth-Morris-Pratt search, a long one with wildcards by
// WildcardSearch, a short one with wildcards by trying each place (at most a few dozen steps a
// place).
class LikeSegment {
public:
    static constexpr char32_t anyOne = 0xFFFFFFFE;
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    explicit LikeSegment(std::vector<char32_t> characters);

    const std::vector<char32_t>& characters() const { return plain_.sought(); }
    std::size_t size() const { return characters().size(); }
    bool hasWildcards() const { return hasWildcards_; }

    // Whether the segment stands at `text` (which leaves room for it).
    bool standsAt(const char32_t* text) const;
    // The first place p in [from, end - size()] where it stands; `none` if none.
    std::size_t find(const char32_t* text, std::size_t from, std::size_t end) const;

private:
    KnuthMorrisPratt<char32_t> plain_; // its borders serve only a segment without wildcards
    bool hasWildcards_ = false;
    std::shared_ptr<const WildcardSearch> long_; // for a long segment with wildcards
};

} // namespace convodesk::data::query
