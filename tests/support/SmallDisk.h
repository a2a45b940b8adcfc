#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace convodesk::testing {

// A small file system of its own (a tmpfs, which needs root) on which a test fills the disk.
// Each mount starts empty; the destructor unmounts what is still mounted.
class SmallDisk {
public:
    // `options` as mount -o takes them, e.g. "size=256k".
    explicit SmallDisk(const QString& options);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Whether this machine lets the test mount one (tried once, left unmounted).
    bool available();
    bool mount();
    void unmount();
    QString path() const { return mountPoint_.path(); }
    QString filePath(const QString& name) const { return mountPoint_.filePath(name); }
    // Fills the disk with a file named "filler" until `free` bytes are left.
    void fillLeaving(qint64 free) const;

private:
    QTemporaryDir mountPoint_;
    QString options_;
    bool mounted_ = false;
};

} // namespace convodesk::testing
