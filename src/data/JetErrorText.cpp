#include "JetErrorText.h"

namespace convodesk::data {

DataError fromReaderError(const jet4::Error& error) {
    switch (error.kind()) {
    case jet4::Error::Kind::Damaged:
        return DataError(DataError::DamagedFile, error.message());
    case jet4::Error::Kind::Unsupported:
        return DataError(DataError::LinkedTable, error.message());
    case jet4::Error::Kind::NotFound:
        return DataError(DataError::NoSuchSource, error.message());
    default:
        return DataError(DataError::FileUnreadable, error.message());
    }
}

} // namespace convodesk::data
