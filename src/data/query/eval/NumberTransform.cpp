#include "NumberTransform.h"

#include <utility>

namespace convodesk::data::query {
namespace {

constexpr std::uint32_t kGenerator = 3; // a primitive root modulo 998244353

std::uint32_t power(std::uint32_t base, std::uint64_t exponent) {
    std::uint32_t result = 1;
    for (; exponent > 0; exponent >>= 1) {
        if (exponent & 1)
            result = NumberTransform::product(result, base);
        base = NumberTransform::product(base, base);
    }
    return result;
}

std::uint32_t inverseOf(std::uint32_t value) {
    return power(value, NumberTransform::modulus - 2);
}

} // namespace

NumberTransform::NumberTransform(std::size_t size)
    : size_(size), roots_(size), inverseRoots_(size),
      inverseSize_(inverseOf(static_cast<std::uint32_t>(size))) {
    for (std::size_t half = 1; half < size; half <<= 1) {
        const std::uint32_t w = power(kGenerator, (modulus - 1) / (2 * half));
        const std::uint32_t wInverse = inverseOf(w);
        std::uint32_t r = 1, rInverse = 1;
        for (std::size_t j = 0; j < half; ++j) {
            roots_[half + j] = r;
            inverseRoots_[half + j] = rInverse;
            r = product(r, w);
            rInverse = product(rInverse, wInverse);
        }
    }
}

void NumberTransform::transform(std::vector<std::uint32_t>& values,
                                const std::vector<std::uint32_t>& roots) const {
    const std::size_t n = size_;
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (std::size_t half = 1; half < n; half <<= 1) {
        for (std::size_t start = 0; start < n; start += 2 * half) {
            for (std::size_t j = 0; j < half; ++j) {
                const std::uint32_t u = values[start + j];
                const std::uint32_t v = product(values[start + j + half], roots[half + j]);
                values[start + j] = sum(u, v);
                values[start + j + half] = u >= v ? u - v : u + modulus - v;
            }
        }
    }
}

void NumberTransform::forward(std::vector<std::uint32_t>& values) const {
    transform(values, roots_);
}

void NumberTransform::inverse(std::vector<std::uint32_t>& values) const {
    transform(values, inverseRoots_);
    for (std::uint32_t& v : values)
        v = product(v, inverseSize_);
}

} // namespace convodesk::data::query
