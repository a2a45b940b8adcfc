#pragma once

#include "NumberTransform.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace convodesk::data::query {

// Finds a sequence with wildcard places (each takes any one character) in a text in about
// (text + sequence) × log(sequence) steps, however the two are made, where trying every place
// would take their product.
//
// Every non-wildcard place k of the sequence gets a random weight w_k (wildcards weigh 0). At a
// place p of the text, the sum of w_k × text[p + k] equals the sum of w_k × sequence[k] when
// the sequence stands there; when it does not, the sums differ except with probability
// 1 / 998244352 over the weights. The sums for a whole window of places are one cyclic
// convolution, computed exactly modulo the prime (NumberTransform). Each place whose sums agree
// is then compared character by character, so the answer is always exact; only the time
// depends on the weights, which a text cannot know in advance.
class WildcardSearch {
public:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // `sought`: characters below 0x110000 and `anyOne`; at least one character.
    WildcardSearch(const std::vector<char32_t>& sought, char32_t anyOne);

    // The first place p in [from, end - length] where the sequence stands in `text`, as
    // `standsAt(text + p)` confirms; `none` if there is none. Characters of the text are below
    // 0x110000.
    std::size_t find(const char32_t* text, std::size_t from, std::size_t end,
                     const std::function<bool(const char32_t*)>& standsAt) const;

private:
    std::size_t length_;
    NumberTransform transform_;
    std::vector<std::uint32_t> kernel_; // the weights, reversed and transformed
    std::uint32_t expected_ = 0;        // the sum of weight × character over the sequence
};

} // namespace convodesk::data::query
