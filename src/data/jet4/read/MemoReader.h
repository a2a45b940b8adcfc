#pragma once

#include "PageReader.h"

#include <QByteArray>

namespace convodesk::jet4 {

// The bytes of a memo or OLE value from its field in the row (12-byte header, then inline
// data, one long-value row, or a chain of them).
QByteArray readLongValue(const PageReader& file, const std::uint8_t* field, int length,
                         const QString& object);

} // namespace convodesk::jet4
