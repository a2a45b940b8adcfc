#include "SortOrder.h"

namespace convodesk::jet4 {

SortOrder SortOrder::fromBytes(const std::uint8_t* bytes) {
    SortOrder order;
    order.lcid = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    order.version = bytes[3];
    return order;
}

QString SortOrder::describe() const {
    if (isGeneral())
        return QStringLiteral("General");
    return QStringLiteral("locale %1 (0x%2), version %3")
        .arg(lcid)
        .arg(lcid, 4, 16, QLatin1Char('0'))
        .arg(version);
}

} // namespace convodesk::jet4
