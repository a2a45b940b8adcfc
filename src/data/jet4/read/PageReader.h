#pragma once

#include "PageCopies.h"
#include "data/jet4/Jet4Format.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class QFile;

namespace convodesk::jet4 {

// The bytes of an opened file, seen as 4096-byte pages, with bounded little-endian access.
// Every failure names the file and the object being read.
//
// A file is not mapped when it is opened: the first pages asked for are read with pread, a few
// neighbours at a time, into copies of their own (a lookup by index needs a handful of
// groups, and mapping a large file, faulting its pages in and unmapping it again costs more
// than reading them). Once many more are wanted the file is mapped and pages come from the
// mapping; the copies made stay until the reader goes, so every page pointer handed out holds
// as long as the reader.
class PageReader {
public:
    struct Row {
        const std::uint8_t* data = nullptr;
        int length = 0;
        std::uint16_t flags = 0; // 0x4000 / 0x8000 bits of the slot entry
    };

    // Opens the file for reading; its pages are read as they are asked for.
    static std::shared_ptr<PageReader> openFile(const QString& path);
    static std::shared_ptr<PageReader> fromBytes(QByteArray bytes, const QString& name);
    ~PageReader();

    const QString& fileName() const { return fileName_; }
    std::int64_t size() const { return size_; }
    std::uint32_t pageCount() const { return pageCount_; }

    // The page; throws Damaged (naming `object`) if it is outside the file.
    const std::uint8_t* page(std::uint32_t number, const QString& object) const {
        checkPage(number, object);
        if (const std::uint8_t* bytes = data_.load(std::memory_order_acquire))
            return bytes + std::int64_t(number) * format::kPageSize;
        return copiedPage(number, object);
    }
    // Throws as page() does for a page outside the file, without reading it.
    void checkPage(std::uint32_t number, const QString& object) const {
        if (number >= pageCount_)
            pageBeyondEnd(number, object);
    }
    // Number of row slots of a data page, checked against the page size.
    int rowSlotCount(const std::uint8_t* page, std::uint32_t number, const QString& object) const;
    // The bytes of one row slot; the flags are returned, not interpreted.
    Row row(std::uint32_t pageNumber, int slot, const QString& object) const;
    // The bytes of one row slot of a data page already checked by the caller: `page` is page
    // `pageNumber` of this file, its type is data and `count` came from rowSlotCount().
    Row slotRow(const std::uint8_t* page, std::uint32_t pageNumber, int count, int slot,
                const QString& object) const;
    // A row addressed by a row pointer (page << 8 | slot) on a data page.
    Row rowAt(std::uint32_t pointer, const QString& object) const;

    [[noreturn]] void damaged(const QString& object, const QString& what) const;

    // True when pages can be copied out of the file with readPages() (bytes read from a file).
    bool readsIntoBuffers() const { return file_ != nullptr; }
    // True while pages are still copied in small groups kept until close rather than taken
    // from a mapping of the whole file (see page()).
    bool keepsPageCopies() const { return file_ != nullptr && !isMapped(); }
    // Copies pages first .. first + count - 1 from the file into `into` (count * 4096 bytes);
    // false, with `into` undefined, when the file does not deliver them whole.
    bool readPages(std::uint32_t first, std::uint32_t count, std::uint8_t* into) const;

    // Lets the system take back the memory that pages first..last of the file take in this
    // process (they stay in the page cache and come back when read again), so that a table read
    // whole into memory does not also keep its file resident. Nothing happens for bytes not
    // mapped from a file.
    void releaseResidentPages(std::uint32_t first, std::uint32_t last) const;

    // Throws Error(Io, ...) when the mapped file has been cut short, replaced in place or
    // written to since it was opened: what was read from it may then mix old and new content.
    void checkUnchanged() const;

private:
    PageReader() = default;
    void setBytes(const std::uint8_t* data, std::int64_t size);
    // Page `number` (inside the file) of a file not mapped yet: its copy, made now if need be,
    // or the mapping once enough pages have been asked for.
    const std::uint8_t* copiedPage(std::uint32_t number, const QString& object) const;
    // Maps the whole file (with copiesMutex_ held); false if it cannot be mapped.
    bool mapWhole() const;
    // data_ is the file's mapping (bytes given whole have no file).
    bool isMapped() const { return file_ != nullptr && data_.load(std::memory_order_acquire) != nullptr; }
    [[noreturn]] void pageBeyondEnd(std::uint32_t number, const QString& object) const;
    [[noreturn]] void missingSlot(std::uint32_t pageNumber, int slot, const QString& object) const;
    [[noreturn]] void impossibleSlot(std::uint32_t pageNumber, int slot, int start, int end,
                                     const QString& object) const;

    std::unique_ptr<QFile> file_;
    QByteArray owned_;
    bool stamped_ = false; // openedSize_ and openedModified_ were read
    std::int64_t openedSize_ = 0;
    std::int64_t openedModified_ = 0; // modification time in nanoseconds
    // The bytes: owned_, or the file's mapping once made; null while pages are copied.
    mutable std::atomic<const std::uint8_t*> data_{nullptr};
    mutable std::atomic<int> guardSlot_{-1}; // MappingGuard slot of the mapping
    mutable std::mutex copiesMutex_;         // guards copies_, mappingTried_ and making the mapping
    mutable PageCopies copies_;
    mutable bool mappingTried_ = false;
    std::int64_t size_ = 0;
    std::uint32_t pageCount_ = 0;
    QString fileName_;
};

inline std::uint32_t readU16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
inline std::uint32_t readU24(const std::uint8_t* p) {
    return readU16(p) | (std::uint32_t(p[2]) << 16);
}
inline std::uint32_t readU32(const std::uint8_t* p) {
    return readU16(p) | (readU16(p + 2) << 16);
}
inline std::uint64_t readU64(const std::uint8_t* p) {
    return readU32(p) | (std::uint64_t(readU32(p + 4)) << 32);
}

// Inline: a table scan calls this once per row.
inline PageReader::Row PageReader::slotRow(const std::uint8_t* p, std::uint32_t pageNumber, int count,
                                           int slot, const QString& object) const {
    if (slot < 0 || slot >= count)
        missingSlot(pageNumber, slot, object);
    const std::uint32_t entry = readU16(p + format::kDataRowTableOffset + 2 * slot);
    const int start = static_cast<int>(entry & format::kRowOffsetMask);
    const int end = slot == 0 ? format::kPageSize
                              : static_cast<int>(readU16(p + format::kDataRowTableOffset + 2 * (slot - 1)) &
                                                 format::kRowOffsetMask);
    Row r;
    r.flags = static_cast<std::uint16_t>(entry & (format::kRowOverflowFlag | format::kRowLookupFlag));
    if (start < format::kDataRowTableOffset + 2 * count || end > format::kPageSize || start > end) {
        if (r.flags & format::kRowLookupFlag)
            return r; // a deleted row's space may be reused; its bounds mean nothing
        impossibleSlot(pageNumber, slot, start, end, object);
    }
    r.data = p + start;
    r.length = end - start;
    return r;
}

} // namespace convodesk::jet4
