#pragma once

#include <cstddef>
#include <cstdint>

namespace convodesk::jet4 {

// The RC4 stream cipher; Jet masks part of the header page (and encrypted files' pages) with it.
class Rc4 {
public:
    Rc4(const std::uint8_t* key, std::size_t keyLength);
    // XORs the next keystream bytes into data (encrypting and decrypting are the same).
    void apply(std::uint8_t* data, std::size_t length);

private:
    std::uint8_t state_[256];
    std::uint8_t i_ = 0;
    std::uint8_t j_ = 0;
};

} // namespace convodesk::jet4
