#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace convodesk::data::query {

// A linear-time search for one fixed sequence (Knuth-Morris-Pratt): every character of the
// text is looked at once and the matched part falls back along the sequence's borders, so a
// search costs the text's length plus the sequence's, whatever both hold. Sequences are
// shorter than 2^32.
template <typename Char> class KnuthMorrisPratt {
public:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    KnuthMorrisPratt() = default;
    explicit KnuthMorrisPratt(std::vector<Char> sought)
        : sought_(std::move(sought)), border_(sought_.size(), 0) {
        for (std::uint32_t k = 1, b = 0; k < sought_.size(); ++k) {
            while (b > 0 && sought_[k] != sought_[b])
                b = border_[b - 1];
            if (sought_[k] == sought_[b])
                ++b;
            border_[k] = b;
        }
    }

    const std::vector<Char>& sought() const { return sought_; }

    // The first place p in [from, end - length] where the sequence stands; `at(i)` gives the
    // text's i-th character as the search should see it. `none` if there is no such place.
    // The sequence must not be empty.
    template <typename At> std::size_t find(At at, std::size_t from, std::size_t end) const {
        const std::size_t m = sought_.size();
        std::uint32_t matched = 0;
        for (std::size_t i = from; i < end; ++i) {
            const Char c = at(i);
            while (matched > 0 && c != sought_[matched])
                matched = border_[matched - 1];
            if (c == sought_[matched])
                ++matched;
            if (matched == m)
                return i + 1 - m;
        }
        return none;
    }

private:
    std::vector<Char> sought_;
    std::vector<std::uint32_t> border_; // border_[k]: the longest proper border of sought_[0, k]
};

} // namespace convodesk::data::query
