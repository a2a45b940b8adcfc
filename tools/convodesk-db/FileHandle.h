#pragma once

namespace convodesk::dbtool {

// An open file descriptor, closed when the handle goes.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int descriptor) : descriptor_(descriptor) {}
    FileHandle(FileHandle&& other) noexcept : descriptor_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    int get() const { return descriptor_; }
    bool isOpen() const { return descriptor_ >= 0; }
    int release();
    // Closes now; false (errno set) when the system reports an error, such as a full disk.
    bool close();

private:
    int descriptor_ = -1;
};

} // namespace convodesk::dbtool
