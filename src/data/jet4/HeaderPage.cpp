#include "HeaderPage.h"

#include "Jet4Format.h"
#include "Rc4.h"

#include <bit>
#include <cmath>

namespace convodesk::jet4 {

using namespace format;

QByteArray HeaderPage::build(double creationDays) {
    QByteArray p(kPageSize, '\0');
    putU32(p, 0, 0x00000100);
    p.replace(kHeaderMagicOffset, 16, QByteArray("Standard Jet DB\0", 16));
    putU8(p, kHeaderVersionOffset, kJetVersion4);

    static constexpr std::uint8_t kConstantPrefix[24] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                                         0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                                         0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    for (int i = 0; i < 24; ++i)
        putU8(p, kHeaderMaskOffset + i, kConstantPrefix[i]);
    putU16(p, kHeaderCodePageOffset, 1252);
    putU32(p, kHeaderDatabaseKeyOffset, 0);
    // No password: the password area holds only its mask, the whole creation day repeated.
    const auto day = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(creationDays)));
    for (int i = 0; i < kHeaderPasswordLength; i += 4)
        putU32(p, kHeaderPasswordOffset + i, day);
    putU32(p, kHeaderSortOrderOffset, 0x0409);
    putU64(p, kHeaderCreationDateOffset, std::bit_cast<std::uint64_t>(creationDays));

    Rc4 mask(kHeaderRc4Key, sizeof kHeaderRc4Key);
    mask.apply(reinterpret_cast<std::uint8_t*>(p.data()) + kHeaderMaskOffset, kHeaderMaskLength);
    p.replace(0x98, 8, QByteArray("\x54\x06\x00\x00\x34\x2E\x30\x00", 8));
    return p;
}

} // namespace convodesk::jet4
