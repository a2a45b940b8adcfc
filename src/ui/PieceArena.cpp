#include "PieceArena.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace convodesk::ui {

namespace {
constexpr std::size_t kPiecesPerSlab = PieceArena::kSlabSize / PieceArena::kPieceSize;
}

char* PieceArena::newPiece() {
    const std::size_t index = pieces_;
    if (index < kPiecesPerSlab) {
        char* piece = static_cast<char*>(std::malloc(kPieceSize));
        if (!piece)
            throw std::bad_alloc();
        memory_.emplace_back(piece, Release{0});
    } else if (index % kPiecesPerSlab == 0) {
        memory_.push_back(largePageSlab());
    }
    ++pieces_;
    if (index < kPiecesPerSlab)
        return memory_.back().get();
    return memory_.back().get() + (index % kPiecesPerSlab) * kPieceSize;
}

void PieceArena::clear() {
    std::vector<Memory>().swap(memory_);
    pieces_ = 0;
}

PieceArena::Memory PieceArena::largePageSlab() {
#ifdef __linux__
    // Twice the size is mapped so that an aligned slab lies inside; the rest is given back.
    const std::size_t mapped = 2 * kSlabSize;
    void* start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        throw std::bad_alloc();
    auto* bytes = static_cast<char*>(start);
    const std::size_t lead = (kSlabSize - reinterpret_cast<std::uintptr_t>(bytes) % kSlabSize) % kSlabSize;
    if (lead > 0)
        munmap(bytes, lead);
    if (mapped - lead > kSlabSize)
        munmap(bytes + lead + kSlabSize, mapped - lead - kSlabSize);
#ifdef MADV_HUGEPAGE
    madvise(bytes + lead, kSlabSize, MADV_HUGEPAGE); // a hint: without large pages all still works
#endif
    return Memory(bytes + lead, Release{kSlabSize});
#else
    char* slab = static_cast<char*>(std::aligned_alloc(kSlabSize, kSlabSize));
    if (!slab)
        throw std::bad_alloc();
    return Memory(slab, Release{0});
#endif
}

void PieceArena::Release::operator()(char* memory) const {
#ifdef __linux__
    if (bytes > 0) {
        munmap(memory, bytes);
        return;
    }
#endif
    std::free(memory);
}

} // namespace convodesk::ui
