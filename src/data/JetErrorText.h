#pragma once

#include "DataError.h"
#include "data/jet4/Error.h"

namespace convodesk::data {

// The data layer's error for a failure of the file reader.
DataError fromReaderError(const jet4::Error& error);

} // namespace convodesk::data
