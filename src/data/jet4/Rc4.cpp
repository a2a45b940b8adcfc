#include "Rc4.h"

#include <utility>

namespace convodesk::jet4 {

Rc4::Rc4(const std::uint8_t* key, std::size_t keyLength) {
    for (int k = 0; k < 256; ++k)
        state_[k] = static_cast<std::uint8_t>(k);
    std::uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
        j = static_cast<std::uint8_t>(j + state_[k] + (keyLength ? key[k % keyLength] : 0));
        std::swap(state_[k], state_[j]);
    }
}

void Rc4::apply(std::uint8_t* data, std::size_t length) {
    for (std::size_t n = 0; n < length; ++n) {
        i_ = static_cast<std::uint8_t>(i_ + 1);
        j_ = static_cast<std::uint8_t>(j_ + state_[i_]);
        std::swap(state_[i_], state_[j_]);
        data[n] ^= state_[static_cast<std::uint8_t>(state_[i_] + state_[j_])];
    }
}

} // namespace convodesk::jet4
