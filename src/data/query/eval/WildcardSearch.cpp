#include "WildcardSearch.h"

#include <QRandomGenerator>
#include <algorithm>
#include <bit>

namespace convodesk::data::query {

WildcardSearch::WildcardSearch(const std::vector<char32_t>& sought, char32_t anyOne)
    : length_(sought.size()), transform_(std::bit_ceil(std::max<std::size_t>(2 * sought.size(), 64))),
      kernel_(transform_.size(), 0) {
    const std::size_t m = length_;
    QRandomGenerator* random = QRandomGenerator::global();
    for (std::size_t k = 0; k < m; ++k) {
        if (sought[k] == anyOne)
            continue;
        const auto weight = static_cast<std::uint32_t>(random->bounded(1u, NumberTransform::modulus));
        kernel_[m - 1 - k] = weight;
        expected_ = NumberTransform::sum(expected_, NumberTransform::product(weight, sought[k]));
    }
    transform_.forward(kernel_);
}

std::size_t WildcardSearch::find(const char32_t* text, std::size_t from, std::size_t end,
                                 const std::function<bool(const char32_t*)>& standsAt) const {
    const std::size_t m = length_;
    const std::size_t n = transform_.size();
    // A window of n characters from `start` gives the sums of the n - m + 1 places from there:
    // entry x of the cyclic convolution, for x >= m - 1, is the sum for place start + x - (m - 1).
    const std::size_t placesPerWindow = n - m + 1;
    std::vector<std::uint32_t> window(n);
    for (std::size_t start = from; start + m <= end; start += placesPerWindow) {
        const std::size_t filled = std::min(n, end - start);
        std::copy(text + start, text + start + filled, window.begin());
        std::fill(window.begin() + static_cast<std::ptrdiff_t>(filled), window.end(), 0u);
        transform_.forward(window);
        for (std::size_t i = 0; i < n; ++i)
            window[i] = NumberTransform::product(window[i], kernel_[i]);
        transform_.inverse(window);
        const std::size_t places = std::min(placesPerWindow, end - m + 1 - start);
        for (std::size_t p = 0; p < places; ++p)
            if (window[p + m - 1] == expected_ && standsAt(text + start + p))
                return start + p;
    }
    return none;
}

} // namespace convodesk::data::query
