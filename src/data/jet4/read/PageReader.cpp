#include "PageReader.h"

#include "MappingGuard.h"
#include "NativePath.h"
#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"

#include <QDir>
#include <QFile>
#if defined(Q_OS_LINUX) || defined(Q_OS_MACOS)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace convodesk::jet4 {

namespace {

// Groups of pages copied into memory of their own before the file is mapped instead (a
// lookup by index copies half a dozen).
constexpr std::size_t kMostCopiedGroups = 16;

std::uint32_t pageCountOf(std::int64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::int64_t>(bytes / format::kPageSize, 0xFFFFFF));
}

// Size and modification time (nanoseconds) of an open file; false if they cannot be read.
bool fileStamp(int handle, std::int64_t& size, std::int64_t& modified) {
    struct stat info {};
    if (handle < 0 || ::fstat(handle, &info) != 0)
        return false;
    size = info.st_size;
    modified = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

} // namespace

std::shared_ptr<PageReader> PageReader::openFile(const QString& path) {
    std::shared_ptr<PageReader> reader(new PageReader);
    reader->fileName_ = QDir::toNativeSeparators(path);
    reader->file_ = std::make_unique<QFile>();
    if (const QString problem = NativePath::openForReading(*reader->file_, path); !problem.isEmpty())
        throw Error(Error::Kind::Io, QStringLiteral("Cannot open %1: %2").arg(reader->fileName_, problem));
    reader->stamped_ = fileStamp(reader->file_->handle(), reader->openedSize_, reader->openedModified_);
    const qint64 size = reader->stamped_ ? reader->openedSize_ : reader->file_->size();
    reader->size_ = size;
    reader->pageCount_ = pageCountOf(size);
    return reader;
}

std::shared_ptr<PageReader> PageReader::fromBytes(QByteArray bytes, const QString& name) {
    std::shared_ptr<PageReader> reader(new PageReader);
    reader->fileName_ = name;
    reader->owned_ = std::move(bytes);
    reader->setBytes(reinterpret_cast<const std::uint8_t*>(reader->owned_.constData()),
                     reader->owned_.size());
    return reader;
}

PageReader::~PageReader() {
    // The mapping goes with file_, after this; it is no longer guarded from here on.
    MappingGuard::remove(guardSlot_);
}

void PageReader::checkUnchanged() const {
    if (!file_)
        return;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    const bool changed = (isMapped() && MappingGuard::pagesLost(guardSlot_)) ||
                         (stamped_ && fileStamp(file_->handle(), size, modified) &&
                          (size != openedSize_ || modified != openedModified_));
    if (changed)
        throw Error(Error::Kind::Io,
                    QStringLiteral("The file %1 changed while it was being read (it was copied over or "
                                   "written to). Try again.")
                        .arg(fileName_));
}

void PageReader::releaseResidentPages(std::uint32_t first, std::uint32_t last) const {
#if defined(Q_OS_LINUX) || defined(Q_OS_MACOS)
    // Only ever on the file's own read-only mapping: on memory we own, MADV_DONTNEED would
    // throw the bytes away. The start is rounded down to the system's page.
    if (!isMapped() || first > last || first >= pageCount_)
        return;
    last = std::min(last, pageCount_ - 1);
    static const std::uintptr_t systemPage =
        static_cast<std::uintptr_t>(std::max<long>(::sysconf(_SC_PAGESIZE), 1));
    const auto base = reinterpret_cast<std::uintptr_t>(data_.load(std::memory_order_acquire));
    const std::uintptr_t end = base + static_cast<std::uintptr_t>(std::min<std::int64_t>(
                                          (std::int64_t(last) + 1) * format::kPageSize, size_));
    std::uintptr_t begin = base + std::uintptr_t(first) * format::kPageSize;
    begin -= begin % systemPage;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes a page-aligned address, rounded down here
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
#else
    (void)first;
    (void)last;
#endif
}

bool PageReader::readPages(std::uint32_t first, std::uint32_t count, std::uint8_t* into) const {
    if (!file_ || std::int64_t(first) + count > pageCount_)
        return false;
    const int handle = file_->handle();
    std::size_t wanted = std::size_t(count) * format::kPageSize;
    auto offset = static_cast<off_t>(std::int64_t(first) * format::kPageSize);
    while (wanted > 0) {
        const ssize_t got = ::pread(handle, into, wanted, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        offset += got;
        wanted -= std::size_t(got);
    }
    return true;
}

void PageReader::setBytes(const std::uint8_t* data, std::int64_t size) {
    data_.store(data, std::memory_order_release);
    size_ = size;
    pageCount_ = pageCountOf(size);
}

const std::uint8_t* PageReader::copiedPage(std::uint32_t number, const QString& object) const {
    const std::lock_guard lock(copiesMutex_);
    if (const std::uint8_t* copy = copies_.find(number))
        return copy;
    if (!mappingTried_ && copies_.groupCount() >= kMostCopiedGroups) {
        mappingTried_ = true;
        if (mapWhole())
            return data_.load(std::memory_order_acquire) + std::int64_t(number) * format::kPageSize;
    }
    const std::uint32_t first = PageCopies::groupStart(number);
    const std::uint32_t count = std::min(PageCopies::kGroupPages, pageCount_ - first);
    std::unique_ptr<std::uint8_t[]> group = PageCopies::allocate(count);
    if (!readPages(first, count, group.get())) {
        checkUnchanged(); // pages the file no longer holds: it was cut short
        throw Error(Error::Kind::Io,
                    QStringLiteral("Cannot read %1: %2 (page %3)").arg(fileName_, object).arg(number));
    }
    return copies_.keep(first, std::move(group)) + std::size_t(number - first) * format::kPageSize;
}

bool PageReader::mapWhole() const {
    const uchar* mapped = file_->map(0, size_);
    if (!mapped)
        return false;
    guardSlot_ = MappingGuard::add(mapped, static_cast<std::size_t>(size_));
    data_.store(mapped, std::memory_order_release);
    return true;
}

void PageReader::damaged(const QString& object, const QString& what) const {
    checkUnchanged(); // damage found in a file that changed meanwhile is the change
    throw Error(Error::Kind::Damaged,
                QStringLiteral("The file %1 is damaged: %2: %3").arg(fileName_, object, what));
}

void PageReader::pageBeyondEnd(std::uint32_t number, const QString& object) const {
    damaged(object,
            QStringLiteral("page %1 is beyond the end of the file (%2 pages)").arg(number).arg(pageCount_));
}

int PageReader::rowSlotCount(const std::uint8_t* p, std::uint32_t number, const QString& object) const {
    const int count = static_cast<int>(readU16(p + format::kDataRowCountOffset));
    if (format::kDataRowTableOffset + 2 * count > format::kPageSize)
        damaged(object, QStringLiteral("page %1 claims %2 rows").arg(number).arg(count));
    return count;
}

PageReader::Row PageReader::row(std::uint32_t pageNumber, int slot, const QString& object) const {
    const std::uint8_t* p = page(pageNumber, object);
    if (p[0] != format::PageData)
        damaged(object, QStringLiteral("page %1 is not a data page").arg(pageNumber));
    return slotRow(p, pageNumber, rowSlotCount(p, pageNumber, object), slot, object);
}

void PageReader::missingSlot(std::uint32_t pageNumber, int slot, const QString& object) const {
    damaged(object, QStringLiteral("row %1 of page %2 does not exist").arg(slot).arg(pageNumber));
}

void PageReader::impossibleSlot(std::uint32_t pageNumber, int slot, int start, int end,
                                const QString& object) const {
    damaged(object, QStringLiteral("row %1 of page %2 has impossible bounds %3..%4")
                        .arg(slot)
                        .arg(pageNumber)
                        .arg(start)
                        .arg(end));
}

PageReader::Row PageReader::rowAt(std::uint32_t pointer, const QString& object) const {
    return row(format::pointerPage(pointer), format::pointerSlot(pointer), object);
}

} // namespace convodesk::jet4
