#include "FileHandle.h"

#include <unistd.h>

namespace convodesk::dbtool {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = other.release();
    }
    return *this;
}

FileHandle::~FileHandle() {
    close();
}

int FileHandle::release() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
}

bool FileHandle::close() {
    if (descriptor_ < 0)
        return true;
    return ::close(release()) == 0;
}

} // namespace convodesk::dbtool
