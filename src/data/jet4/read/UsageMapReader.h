#pragma once

#include "PageReader.h"

#include <vector>

namespace convodesk::jet4 {

// The pages a usage map (inline or reference form) marks, in ascending order.
std::vector<std::uint32_t> readUsageMap(const PageReader& file, std::uint32_t mapPointer,
                                        const QString& object);

} // namespace convodesk::jet4
