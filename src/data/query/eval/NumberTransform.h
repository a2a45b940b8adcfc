#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace convodesk::data::query {

// The discrete Fourier transform over the integers modulo the prime 998244353 (whose
// multiplicative group holds roots of unity of every power of two up to 2^23), so cyclic
// convolutions come out exact, with no rounding, in n log n steps.
class NumberTransform {
public:
    static constexpr std::uint32_t modulus = 998244353;

    // `size`: a power of two, at most 2^23.
    explicit NumberTransform(std::size_t size);
    std::size_t size() const { return size_; }

    void forward(std::vector<std::uint32_t>& values) const;
    void inverse(std::vector<std::uint32_t>& values) const; // forward's inverse, scaling included

    static std::uint32_t product(std::uint32_t a, std::uint32_t b) {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(a) * b % modulus);
    }
    static std::uint32_t sum(std::uint32_t a, std::uint32_t b) {
        const std::uint32_t s = a + b; // both below 2^30: no overflow
        return s >= modulus ? s - modulus : s;
    }

private:
    void transform(std::vector<std::uint32_t>& values, const std::vector<std::uint32_t>& roots) const;

    std::size_t size_;
    // roots_[h + j] = w^j for the level of half-width h (w a primitive 2h-th root); inverse
    // roots in inverseRoots_.
    std::vector<std::uint32_t> roots_;
    std::vector<std::uint32_t> inverseRoots_;
    std::uint32_t inverseSize_ = 1;
};

} // namespace convodesk::data::query
